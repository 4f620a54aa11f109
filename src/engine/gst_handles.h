#pragma once

// Owning handles for the GStreamer and GLib objects the engine keeps or
// receives. Each handle holds exactly one reference: the ones made by
// Adopt* take over a reference the caller already owns (a "transfer full"
// return), the ones made by Ref* add their own, so that a borrowed pointer
// (a "transfer none" return) is never released by mistake.

#include <gst/gst.h>

#include <memory>

namespace corvan::gst {

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};

template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;

template <typename T>
ObjectPtr<T> AdoptObject(T* object)
{
    return ObjectPtr<T>(object);
}

template <typename T>
ObjectPtr<T> RefObject(T* object)
{
    return ObjectPtr<T>(object ? static_cast<T*>(gst_object_ref(object)) : nullptr);
}

// For a new element, whose reference is still floating: the engine keeps it,
// so the floating reference is sunk instead of being left for a bin to take.
template <typename T>
ObjectPtr<T> SinkObject(T* object)
{
    return ObjectPtr<T>(object ? static_cast<T*>(gst_object_ref_sink(object)) : nullptr);
}

// A pipeline is set to NULL before its last reference goes, so that its
// streaming threads have stopped and its devices are closed when it is freed.
struct PipelineRelease {
    void operator()(GstElement* pipeline) const
    {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};
using PipelinePtr = std::unique_ptr<GstElement, PipelineRelease>;

struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

struct TagListUnref {
    void operator()(GstTagList* tags) const { gst_tag_list_unref(tags); }
};
using TagListPtr = std::unique_ptr<GstTagList, TagListUnref>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using CharPtr = std::unique_ptr<gchar, GFree>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

}  // namespace corvan::gst
