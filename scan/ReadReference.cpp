#include "scan/modGlobal.h"

#include "platform/Automation.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Numbers.h"
#include "platform/RevisionManager.h"
#include "scan/MainForm.h"
#include "scan/ReferenceFilter.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"

namespace ostrevan {
namespace {

const std::string& fileListEntry(const DocumentFileList& files, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= files.size()) {
        raise(err::SubscriptOutOfRange);
    }
    return files[static_cast<std::size_t>(index)];
}

std::string position(std::int32_t value) {
    return formatZeroPadded(value, "0000000");
}

// Whether a link is listed: with reference type 0 only a link that names a file outside
// the chosen folder.
bool keepLink(std::int32_t referenzTyp, const std::string& chosenFolder,
              const std::string& fullName) {
    if (referenzTyp != 0) {
        return true;
    }
    return !fullName.empty() &&
           !liesInside(FileSystem::GetParentFolderName(fullName), chosenFolder);
}

void readLinks(ScanContext& context, const std::string& path, const DocumentFileList& files,
               const std::int32_t& count) {
    const std::int32_t referenzTyp = context.Settings.ReferenzTyp();
    const auto revisionManager =
        context.automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    MainForm& form = context.form;

    const std::int32_t total = count;
    std::int32_t row = 0;
    std::unique_ptr<RevisionManagerDocument> document;
    // 64 bits, so that a count of 2147483647 ends the loop instead of overflowing it.
    for (std::int64_t next = 1; next <= total; ++next) {
        const auto i = static_cast<std::int32_t>(next);
        const std::string& documentPath = fileListEntry(files, i);
        document = revisionManager->Open(documentPath);
        const auto links = document->LinkedDocuments(0);
        form.lbl_references.setCaption("Untersuche: " + position(i) + "-" + position(total));
        if (links) {
            for (const auto& link : *links) {
                const std::string fullName = link->FullName();
                form.lbl_CheckRef.setCaption("Bearbeite: " + FileSystem::GetFileName(fullName));
                form.lbl_CheckRef.refresh();
                if (keepLink(referenzTyp, path, fullName)) {
                    row = addInt32(row, 1);
                    const std::int32_t item = form.ListView1.add(std::to_string(row));
                    form.ListView1.setText(item, 1, documentPath);
                    form.ListView1.setText(item, 2, link->FullName());
                }
            }
        }
    }
    form.lbl_references.setCaption({});
    form.lbl_CheckRef.setCaption({});
}

} // namespace

void ReadReference(ScanContext& context, std::string& path, DocumentFileList& files,
                   std::int32_t& count) {
    if (const auto error = trapError([&] { readLinks(context, path, files, count); })) {
        context.messageBox.show(trapMessage("ReadReference() ", *error, " "));
    }
}

void ModGlobalProcedures::ReadReference(std::string& path, DocumentFileList& files,
                                        std::int32_t& count) {
    ostrevan::ReadReference(m_context, path, files, count);
}

} // namespace ostrevan
