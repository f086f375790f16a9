#include "gtk_probe.h"

#include <wx/defs.h>

#include <dlfcn.h>
#include <libintl.h>

#include <cstddef>

namespace ordinex::test {

namespace {

// GTK is reached through wx only, without its headers: the few functions
// needed are looked up in the running process.
struct GList {
    void* data;
    GList* next;
    GList* prev;
};
using GType = std::size_t;

template <class F> F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// GTK's response ids of the standard buttons.
constexpr int kResponseOk = -5, kResponseCancel = -6, kResponseYes = -8, kResponseNo = -9;

void* TheMessageBox() {
    static auto listToplevels = Lookup<GList* (*)()>("gtk_window_list_toplevels");
    static auto listFree = Lookup<void (*)(GList*)>("g_list_free");
    static auto typeFromName = Lookup<GType (*)(const char*)>("g_type_from_name");
    static auto isA = Lookup<int (*)(void*, GType)>("g_type_check_instance_is_a");
    static auto visible = Lookup<int (*)(void*)>("gtk_widget_get_visible");
    if (!listToplevels || !listFree || !typeFromName || !isA || !visible)
        return nullptr;
    const GType type = typeFromName("GtkMessageDialog");
    void* found = nullptr;
    GList* all = listToplevels();
    for (GList* l = all; l; l = l->next)
        if (type && isA(l->data, type) && visible(l->data))
            found = l->data;
    listFree(all);
    return found;
}

} // namespace

OpenMessageBox FindOpenMessageBox() {
    OpenMessageBox box;
    void* dialog = TheMessageBox();
    static auto forResponse = Lookup<void* (*)(void*, int)>("gtk_dialog_get_widget_for_response");
    static auto buttonLabel = Lookup<const char* (*)(void*)>("gtk_button_get_label");
    static auto position = Lookup<void (*)(void*, int*, int*)>("gtk_window_get_position");
    static auto size = Lookup<void (*)(void*, int*, int*)>("gtk_window_get_size");
    if (!dialog || !forResponse || !buttonLabel || !position || !size)
        return box;
    box.found = true;
    for (int response : {kResponseYes, kResponseNo, kResponseOk, kResponseCancel})
        if (void* button = forResponse(dialog, response))
            if (const char* label = buttonLabel(button))
                box.labels.emplace_back(label);
    position(dialog, &box.x, &box.y);
    size(dialog, &box.width, &box.height);
    return box;
}

void AnswerOpenMessageBox(int wxId) {
    static auto respond = Lookup<void (*)(void*, int)>("gtk_dialog_response");
    void* dialog = TheMessageBox();
    if (!dialog || !respond)
        return;
    const int response = wxId == wxID_YES  ? kResponseYes
                         : wxId == wxID_NO ? kResponseNo
                         : wxId == wxID_OK ? kResponseOk
                                           : kResponseCancel;
    respond(dialog, response);
}

std::string ToolkitText(const char* msgid) {
    return dgettext("gtk30", msgid);
}

} // namespace ordinex::test
