#pragma once

#include <glib-object.h>

#include <memory>

namespace ostrevan {

// Owns one reference to a GObject (a libgsf input, infile or output).
struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object != nullptr) {
            g_object_unref(object);
        }
    }
};
template <class T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

} // namespace ostrevan
