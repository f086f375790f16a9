#pragma once
#include "job/job.h"

#include <functional>
#include <string>

namespace ordinex {

class COrdinexApp;

// The form as the job document sees it: the job's only store while the
// program runs.
class IJobForm {
public:
    virtual ~IJobForm() = default;
    virtual Job ReadJob() = 0;                 // the boxes as typed
    virtual void WriteJob(const Job& job) = 0; // every box, without marking the job modified
    virtual void ClearStatus() = 0;
};

// The job document: holds no copy of the job, only its file name and the
// modified mark; opening writes into the form, saving reads from it.
class COrdinexDoc {
public:
    static constexpr const char* kNewDocumentName = "新規ダウンロード設定";

    explicit COrdinexDoc(COrdinexApp& app) : app_(app) {}

    void AttachForm(IJobForm* form) { form_ = form; }
    // Called whenever the title may have changed.
    void SetTitleListener(std::function<void()> listener) { titleListener_ = std::move(listener); }

    // A new job: after start-up the form is cleared, with the start-up folder
    // as destination base; during start-up the form keeps the restored job.
    bool OnNewDocument();
    // Failures are reported with an exclamation box, except an empty file.
    bool OnOpenDocument(const std::string& path);
    bool OnSaveDocument(const std::string& path);

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified);
    const std::string& PathName() const { return path_; }
    // The document name: the file's name, or the new job's name.
    std::string Title() const;
    std::string WindowTitle() const;

    // Asks "%1 への変更を保存しますか?" for a modified job; ask shows the
    // question with Yes, No and Cancel and returns 6, 7 or 2. save is called
    // for Yes and returns whether the job was saved. False: stay.
    using AskFunction = std::function<int(const std::string& question)>;
    bool SaveModified(const AskFunction& ask, const std::function<bool()>& save);
    std::string SaveQuestion() const { return Title() + " への変更を保存しますか?"; }

private:
    void SetPathName(const std::string& path);
    void ReportError(const std::string& message);

    COrdinexApp& app_;
    IJobForm* form_ = nullptr;
    std::function<void()> titleListener_;
    std::string path_;
    bool modified_ = false;
};

} // namespace ordinex
