#include "scan/modGlobal.h"

#include "platform/Automation.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Numbers.h"
#include "platform/ReferenceComponent.h"
#include "scan/MainForm.h"
#include "scan/ReferenceFilter.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"

#include <ctime>

namespace ostrevan {
namespace {

// The current date and time in the system's default format.
std::string nowAsText() {
    const std::time_t now = std::time(nullptr);
    // std::localtime's shared result is safe here: scans run on the UI thread only.
    const std::tm local = *std::localtime(&now);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
    return std::string(text, length);
}

void listReferences(ScanContext& context) {
    MainForm& form = context.form;
    const auto component = context.automation.create<ReferenceComponent>(kReferenceComponentProgId);
    std::vector<std::string> references;
    std::string documentPath = form.txt_SEDokument.text();
    std::int32_t flags = 0;
    std::int32_t options = 0;
    std::string timeStamp = nowAsText();
    std::unique_ptr<AutomationObject> slot;
    std::int32_t result = 0;
    component->GetReferences(documentPath, references, form.lbl_references, flags, options,
                             timeStamp, slot, result);

    const std::int32_t referenzTyp = context.Settings.ReferenzTyp();
    form.lbl_CheckRef.setCaption({});
    form.lbl_references.setCaption({});
    const BaseFolder documentFolder(FileSystem::GetParentFolderName(form.txt_SEDokument.text()));

    std::int32_t row = 0;
    for (const std::string& reference : references) {
        const std::string referenceFolder = FileSystem::GetParentFolderName(reference);
        if (referenzTyp != 0 || !documentFolder.holds(referenceFolder)) {
            row = addInt32(row, 1);
            const std::int32_t item = form.ListView1.add(std::to_string(row));
            form.ListView1.setText(item, 1, form.txt_SEDokument.text());
            form.ListView1.setText(item, 2, reference);
        }
    }
}

} // namespace

void GetFileReferenz(ScanContext& context) {
    if (const auto error = trapError([&] { listReferences(context); })) {
        context.messageBox.show(trapMessage("GetFileReferenz() ", *error, " "));
    }
}

} // namespace ostrevan
