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

#include <vector>

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
bool keepLink(std::int32_t referenzTyp, const BaseFolder& chosenFolder,
              const std::string& fullName) {
    if (referenzTyp != 0) {
        return true;
    }
    return !fullName.empty() && !chosenFolder.holds(FileSystem::ParentFolderView(fullName));
}

// The one message after the loop: the first failure as the trap words it, then the count
// and the first ten documents with their error numbers.
std::string failuresMessage(const std::vector<ScanFailure>& failures) {
    constexpr std::size_t kListed = 10;
    const ScanFailure& first = failures.front();
    std::string text = trapMessage(
        "ReadReference() ", Error(first.number, std::string(kProgramName), first.description), " ");
    text += "\n\n";
    text += failures.size() == 1
                ? std::string("1 Dokument konnte nicht gelesen werden:")
                : std::to_string(failures.size()) + " Dokumente konnten nicht gelesen werden:";
    for (std::size_t i = 0; i < failures.size() && i < kListed; ++i) {
        text += "\n" + failures[i].path + " (" + std::to_string(failures[i].number) + ")";
    }
    if (failures.size() > kListed) {
        text += "\nund " + std::to_string(failures.size() - kListed) + " weitere";
    }
    return text;
}

// A document that cannot be opened or read is remembered and skipped: one damaged file must
// not cut the rest of the folder from the result.
void readLinks(ScanContext& context, const std::string& path, const DocumentFileList& files,
               const std::int32_t& count, std::vector<ScanFailure>& failures) {
    const std::int32_t referenzTyp = context.Settings.ReferenzTyp();
    const BaseFolder chosenFolder(path);
    const auto revisionManager =
        context.automation.create<RevisionManagerApplication>(kRevisionManagerProgId);
    MainForm& form = context.form;

    const std::int32_t total = count;
    const std::string ofTotal = "-" + position(total);
    std::int32_t row = 0;
    std::unique_ptr<RevisionManagerDocument> document;
    // The captions are made anew for every document and link, in one place.
    std::string caption;
    // 64 bits, so that a count of 2147483647 ends the loop instead of overflowing it.
    for (std::int64_t next = 1; next <= total; ++next) {
        const auto i = static_cast<std::int32_t>(next);
        const std::string& documentPath = fileListEntry(files, i);
        std::unique_ptr<RevisionManagerDocuments> links;
        if (const auto failure = trapError([&] {
                document = revisionManager->Open(documentPath);
                links = document->LinkedDocuments(0);
            })) {
            failures.push_back({documentPath, failure->number(), failure->description()});
            continue;
        }
        caption.assign("Untersuche: ").append(position(i)).append(ofTotal);
        form.lbl_references.setCaption(caption);
        if (links) {
            for (const auto& link : *links) {
                const std::string& fullName = link->FullName();
                caption.assign("Bearbeite: ").append(FileSystem::FileNameView(fullName));
                form.lbl_CheckRef.setCaption(caption);
                form.lbl_CheckRef.refresh();
                if (keepLink(referenzTyp, chosenFolder, fullName)) {
                    row = addInt32(row, 1);
                    const std::int32_t item = form.ListView1.add(std::to_string(row));
                    form.ListView1.setText(item, 1, documentPath);
                    form.ListView1.setText(item, 2, fullName);
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
    std::vector<ScanFailure> failures;
    if (const auto error = trapError([&] { readLinks(context, path, files, count, failures); })) {
        context.messageBox.show(trapMessage("ReadReference() ", *error, " "));
    }
    if (!failures.empty()) {
        context.messageBox.show(failuresMessage(failures));
    }
    context.failures.documents = std::move(failures);
}

void ModGlobalProcedures::ReadReference(std::string& path, DocumentFileList& files,
                                        std::int32_t& count) {
    ostrevan::ReadReference(m_context, path, files, count);
}

} // namespace ostrevan
