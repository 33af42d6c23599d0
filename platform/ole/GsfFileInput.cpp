// The libgsf face of FileInput, for the readers that still go through libgsf.
#include "platform/ole/FileInput.h"

#include <gsf/gsf-input-impl.h>

#include <memory>
#include <vector>

namespace ostrevan {
namespace {

struct Members {
    std::unique_ptr<FileInput> file;
    // Where a read without a caller's buffer lands; valid until the next read.
    std::vector<std::uint8_t> scratch;
};

struct GsfFileInput {
    GsfInput parent;
    Members members;
};

struct GsfFileInputClass {
    GsfInputClass parentClass;
};

GObjectClass* parentClass = nullptr;

GType gsfFileInputType();

GsfFileInput* asFileInput(gpointer object) {
    return reinterpret_cast<GsfFileInput*>(
        G_TYPE_CHECK_INSTANCE_CAST(object, gsfFileInputType(), GsfFileInput));
}

void finalize(GObject* object) {
    std::destroy_at(&asFileInput(object)->members);
    parentClass->finalize(object);
}

// libgsf checks that the bytes asked for lie inside the file before it calls this.
const guint8* read(GsfInput* gsfInput, std::size_t count, guint8* buffer) {
    Members& members = asFileInput(gsfInput)->members;
    if (buffer == nullptr) {
        members.scratch.resize(count);
        buffer = members.scratch.data();
    }
    return members.file->read(static_cast<std::uint64_t>(gsfInput->cur_offset), {buffer, count})
               ? buffer
               : nullptr;
}

// GsfInput keeps the position itself; FileInput needs nothing else.
gboolean seek(GsfInput*, gsf_off_t, GSeekType) {
    return FALSE;
}

GsfInput* dup(GsfInput*, GError** error) {
    g_set_error_literal(error, gsf_input_error_id(), 0, "not supported");
    return nullptr;
}

void classInit(gpointer klass, gpointer) {
    parentClass = static_cast<GObjectClass*>(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = finalize;
    auto* inputClass = static_cast<GsfInputClass*>(klass);
    inputClass->Read = read;
    inputClass->Seek = seek;
    inputClass->Dup = dup;
}

void instanceInit(GTypeInstance* instance, gpointer) {
    std::construct_at(&reinterpret_cast<GsfFileInput*>(instance)->members);
}

GType gsfFileInputType() {
    static const GType type = g_type_register_static_simple(
        GSF_INPUT_TYPE, "OstrevanFileInput", sizeof(GsfFileInputClass), classInit,
        sizeof(GsfFileInput), instanceInit, GTypeFlags{});
    return type;
}

} // namespace

GObjectPtr<GsfInput> openFileInput(const std::string& path) {
    auto file = std::make_unique<FileInput>(path);
    auto* input = static_cast<GsfFileInput*>(g_object_new(gsfFileInputType(), nullptr));
    gsf_input_set_size(&input->parent, static_cast<gsf_off_t>(file->size()));
    gsf_input_set_name(&input->parent, path.c_str());
    input->members.file = std::move(file);
    return GObjectPtr<GsfInput>(&input->parent);
}

std::uint64_t fileInputBytesRead(GsfInput* input) {
    return asFileInput(input)->members.file->bytesRead();
}

} // namespace ostrevan
