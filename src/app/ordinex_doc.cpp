#include "app/ordinex_doc.h"

#include "app/ordinex_app.h"
#include "job/job_file.h"

namespace ordinex {

bool COrdinexDoc::OnNewDocument() {
    SetPathName({});
    SetModifiedFlag(false);
    if (!app_.initDone || !form_)
        return true;
    Job job;
    job.folderBase = app_.startDirectory;
    form_->WriteJob(job);
    form_->ClearStatus();
    return true;
}

bool COrdinexDoc::OnOpenDocument(const std::string& path) {
    Job job;
    const JobFileResult result = ReadJobFile(path, job, app_.settings);
    if (result.status == JobFileResult::Status::Empty)
        return false;
    if (!result.ok()) {
        ReportError(result.message);
        return false;
    }
    if (form_) {
        form_->WriteJob(job);
        form_->ClearStatus();
    }
    app_.recentFiles.Add(path);
    SetModifiedFlag(false);
    SetPathName(path);
    return true;
}

bool COrdinexDoc::OnSaveDocument(const std::string& path) {
    const Job job = form_ ? form_->ReadJob() : Job{};
    const JobFileResult result = WriteJobFile(path, job, app_.settings);
    if (!result.ok()) {
        ReportError(result.message);
        return false;
    }
    app_.recentFiles.Add(path);
    SetModifiedFlag(false);
    SetPathName(path);
    return true;
}

void COrdinexDoc::SetModifiedFlag(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    if (titleListener_)
        titleListener_();
}

void COrdinexDoc::SetPathName(const std::string& path) {
    path_ = path;
    if (titleListener_)
        titleListener_();
}

std::string COrdinexDoc::Title() const {
    if (path_.empty())
        return kNewDocumentName;
    const auto slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string COrdinexDoc::WindowTitle() const {
    return app_.productName + " - " + Title();
}

bool COrdinexDoc::SaveModified(const AskFunction& ask, const std::function<bool()>& save) {
    if (!modified_)
        return true;
    switch (ask(SaveQuestion())) {
    case kAnswerYes:
        return save();
    case kAnswerNo:
        return true;
    default:
        return false;
    }
}

void COrdinexDoc::ReportError(const std::string& message) {
    if (IPrompter* prompter = app_.Prompter())
        prompter->MessageBox(message, MessageButtons::Ok, MessageIcon::Exclamation);
}

} // namespace ordinex
