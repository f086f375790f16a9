#include "gui/kit/input_hold.h"

#include "gui/kit/gtk_calls.h"

namespace ordinex {

namespace {
using NewWidget = void* (*)();
using OnWidget = void (*)(void*);
using RefSink = void* (*)(void*);
} // namespace

CInputHold::CInputHold() {
    static const auto invisibleNew = gtk::Lookup<NewWidget>("gtk_invisible_new");
    static const auto refSink = gtk::Lookup<RefSink>("g_object_ref_sink");
    static const auto grabAdd = gtk::Lookup<OnWidget>("gtk_grab_add");
    if (!invisibleNew || !refSink || !grabAdd)
        return;
    sink_ = refSink(invisibleNew());
    if (sink_)
        grabAdd(sink_);
}

CInputHold::~CInputHold() {
    static const auto grabRemove = gtk::Lookup<OnWidget>("gtk_grab_remove");
    static const auto destroy = gtk::Lookup<OnWidget>("gtk_widget_destroy");
    static const auto unref = gtk::Lookup<OnWidget>("g_object_unref");
    if (!sink_ || !grabRemove || !destroy || !unref)
        return;
    grabRemove(sink_);
    destroy(sink_);
    unref(sink_);
}

} // namespace ordinex
