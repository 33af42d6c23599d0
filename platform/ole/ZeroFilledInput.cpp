#include "platform/ole/ZeroFilledInput.h"

#include <gsf/gsf-input-impl.h>

#include <algorithm>
#include <cstring>

namespace ostrevan {
namespace {

struct ZeroFilledInput {
    GsfInput parent;
    GsfInput* inner;
    // Where a read without a caller's buffer lands when it reaches past the inner input.
    guint8* buffer;
    std::size_t bufferSize;
};

struct ZeroFilledInputClass {
    GsfInputClass parentClass;
};

GObjectClass* parentClass = nullptr;

GType zeroFilledInputType();

ZeroFilledInput* asZeroFilled(gpointer object) {
    return reinterpret_cast<ZeroFilledInput*>(
        G_TYPE_CHECK_INSTANCE_CAST(object, zeroFilledInputType(), ZeroFilledInput));
}

void finalize(GObject* object) {
    ZeroFilledInput* input = asZeroFilled(object);
    g_clear_object(&input->inner);
    g_free(input->buffer);
    input->buffer = nullptr;
    parentClass->finalize(object);
}

guint8* scratch(ZeroFilledInput* input, std::size_t count) {
    if (input->bufferSize < count) {
        g_free(input->buffer);
        input->buffer = static_cast<guint8*>(g_try_malloc(count));
        input->bufferSize = input->buffer != nullptr ? count : 0;
    }
    return input->buffer;
}

// GsfInput has checked that the bytes asked for lie inside the view.
const guint8* read(GsfInput* gsfInput, std::size_t count, guint8* buffer) {
    ZeroFilledInput* input = asZeroFilled(gsfInput);
    const gsf_off_t offset = gsfInput->cur_offset;
    const gsf_off_t innerSize = gsf_input_size(input->inner);
    const auto stored = static_cast<std::size_t>(
        std::clamp<gsf_off_t>(innerSize - offset, 0, static_cast<gsf_off_t>(count)));
    if (stored == count) {
        return gsf_input_seek(input->inner, offset, G_SEEK_SET) == 0
                   ? gsf_input_read(input->inner, count, buffer)
                   : nullptr;
    }
    guint8* target = buffer != nullptr ? buffer : scratch(input, count);
    if (target == nullptr ||
        (stored > 0 && (gsf_input_seek(input->inner, offset, G_SEEK_SET) != 0 ||
                        gsf_input_read(input->inner, stored, target) == nullptr))) {
        return nullptr;
    }
    std::memset(target + stored, 0, count - stored);
    return target;
}

// GsfInput keeps the position itself; each read seeks the inner input.
gboolean seek(GsfInput*, gsf_off_t, GSeekType) {
    return FALSE;
}

GsfInput* makeInput(GsfInput* inner, gsf_off_t size) {
    auto* input = static_cast<ZeroFilledInput*>(g_object_new(zeroFilledInputType(), nullptr));
    input->inner = inner;
    gsf_input_set_size(&input->parent, std::max(size, gsf_input_size(inner)));
    gsf_input_set_name(&input->parent, gsf_input_name(inner));
    return &input->parent;
}

GsfInput* dup(GsfInput* gsfInput, GError** error) {
    GsfInput* inner = gsf_input_dup(asZeroFilled(gsfInput)->inner, error);
    return inner != nullptr ? makeInput(inner, gsfInput->size) : nullptr;
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
    auto* input = reinterpret_cast<ZeroFilledInput*>(instance);
    input->inner = nullptr;
    input->buffer = nullptr;
    input->bufferSize = 0;
}

GType zeroFilledInputType() {
    static const GType type = g_type_register_static_simple(
        GSF_INPUT_TYPE, "OstrevanZeroFilledInput", sizeof(ZeroFilledInputClass), classInit,
        sizeof(ZeroFilledInput), instanceInit, GTypeFlags{});
    return type;
}

} // namespace

GObjectPtr<GsfInput> zeroFilledInput(GsfInput* input, gsf_off_t size) {
    return GObjectPtr<GsfInput>(makeInput(GSF_INPUT(g_object_ref(input)), size));
}

} // namespace ostrevan
