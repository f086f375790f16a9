#pragma once
#include "listing/link_panes_model.h"
#include "net/engine_host.h"
#include "net/listing_panes.h"
#include "settings/program_settings.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace ordinex::test {

// errorText for an https:// address while UseHttpsSetting is off.
inline constexpr const char* kHttpsRefusedText =
    "サポートしていないインターネット･サービス･タイプ "
    "(HTTPSは「ダウンロード」ページの「HTTPSを使用する(サーバー証明書を検証する)」、"
    "UseHttpsSetting=1 で使えます)";

// Records what the engine reports, in order, as "kind:text"; requests Stop
// after a given number of pumped messages.
class RecordingHost : public IEngineHost {
public:
    ProgramSettings settings;
    std::vector<std::string> calls;
    int pumps = 0;
    int stopAfterPumps = -1; // Stop is requested from this pump on; -1 never
    bool stopOnData = false; // Stop is requested once progress shows received bytes
    bool stop = false;

    void SetStatus(const std::string& t) override { calls.push_back("status:" + t); }
    void SetStatus2(const std::string& t) override { calls.push_back("status2:" + t); }
    void SetTransferText(const std::string& t) override { calls.push_back("transfer:" + t); }
    void SetByteProgress(const std::string& t, int64_t range, int64_t position) override {
        calls.push_back("progress:" + t);
        lastRange = range;
        lastPosition = position;
        if (stopOnData && position > 0)
            stop = true;
    }
    void ShowTreeTarget(const std::string& address) override { calls.push_back("tree:" + address); }
    void PumpOneMessage() override {
        ++pumps;
        if (stopAfterPumps >= 0 && pumps >= stopAfterPumps)
            stop = true;
    }
    bool StopRequested() const override { return stop; }
    const ProgramSettings& Settings() const override { return settings; }
    void ShowLoadTarget(const std::string& address, const std::string& destination) override {
        calls.push_back("load:" + address + (destination.empty() ? "" : "|" + destination));
    }
    void BeginBusy() override {
        calls.push_back("busy:begin");
        busy = true;
        stop = false;
    }
    void EndBusy() override {
        calls.push_back("busy:end");
        busy = false;
    }
    bool Busy() const override { return busy; }
    bool busy = false;

    // The texts of one kind, in order.
    std::vector<std::string> Of(const std::string& kind) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.compare(0, kind.size() + 1, kind + ":") == 0)
                out.push_back(c.substr(kind.size() + 1));
        return out;
    }
    std::string LastOf(const std::string& kind) const {
        const auto all = Of(kind);
        return all.empty() ? std::string() : all.back();
    }
    int64_t lastRange = -1;
    int64_t lastPosition = -1;
};

// The FTP tree as a map of nodes; records the calls as texts.
class RecordingFtpTree : public IFtpTreePane {
public:
    struct Node {
        TreeNodeId parent = kNoNode;
        std::string text;
    };
    std::map<TreeNodeId, Node> nodes;
    TreeNodeId selected = kNoNode;
    std::vector<std::string> calls;

    void DeleteAllNodes() override {
        nodes.clear();
        selected = kNoNode;
        calls.push_back("deleteAll");
    }
    std::string rootAddress;
    TreeNodeId InsertRoot(const std::string& text, const std::string& address) override {
        nodes.clear();
        rootAddress = address;
        calls.push_back("root:" + text);
        return Add(kNoNode, text);
    }
    TreeNodeId InsertChild(TreeNodeId parent, const std::string& text) override {
        calls.push_back("child:" + PathOf(parent) + "/" + text);
        return Add(parent, text);
    }
    TreeNodeId FindChildOfSelected(const std::string& text) const override {
        for (const auto& [id, node] : nodes)
            if (node.parent == selected && node.text == text)
                return id;
        return kNoNode;
    }
    void SelectSilently(TreeNodeId node) override {
        selected = node;
        calls.push_back("select:" + PathOf(node));
    }
    // "root/pub/img" for a node; "" for no node.
    std::string PathOf(TreeNodeId id) const {
        const auto it = nodes.find(id);
        if (it == nodes.end())
            return "";
        const std::string up = PathOf(it->second.parent);
        return up.empty() ? it->second.text : up + "/" + it->second.text;
    }

private:
    TreeNodeId Add(TreeNodeId parent, const std::string& text) {
        const TreeNodeId id = next_++;
        nodes[id] = {parent, text};
        return id;
    }
    TreeNodeId next_ = 1;
};

class RecordingFtpList : public IFtpListPane {
public:
    std::vector<FtpEntry> rows;
    int clears = 0;
    void DeleteAllRows() override {
        rows.clear();
        ++clears;
    }
    void InsertRow(const FtpEntry& entry) override { rows.push_back(entry); }
    const FtpEntry* Find(const std::string& name) const {
        for (const auto& r : rows)
            if (r.name == name)
                return &r;
        return nullptr;
    }
};

class RecordingLinkTree : public LinkTreeModel {
public:
    int clears = 0;
    void DeleteAllNodes() override {
        ++clears;
        LinkTreeModel::DeleteAllNodes();
    }
    // Every node as "text/child/grandchild", with prefix taken off each text, sorted.
    std::vector<std::string> Paths(const std::string& prefix = "") const {
        std::vector<std::string> out;
        std::vector<std::pair<TreeNodeId, std::string>> todo;
        for (TreeNodeId root : Children(kNoNode))
            todo.push_back({root, Strip(NodeText(root), prefix)});
        while (!todo.empty()) {
            auto [id, path] = todo.back();
            todo.pop_back();
            out.push_back(path);
            for (TreeNodeId child : Children(id))
                todo.push_back({child, path + "/" + Strip(NodeText(child), prefix)});
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::string Strip(const std::string& text, const std::string& prefix) {
        return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size()) : text;
    }
};

class RecordingLinkList : public LinkListModel {
public:
    int clears = 0;
    void DeleteAllRows() override {
        ++clears;
        LinkListModel::DeleteAllRows();
    }
    // The rows' texts with prefix taken off, in order.
    std::vector<std::string> Texts(const std::string& prefix = "") const {
        std::vector<std::string> out;
        for (const LinkRow& row : Rows())
            out.push_back(RecordingLinkTree::Strip(row.text, prefix));
        return out;
    }
    const LinkRow* Find(const std::string& text) const {
        for (const LinkRow& row : Rows())
            if (row.text == text)
                return &row;
        return nullptr;
    }
};

} // namespace ordinex::test
