#include "tests/scan/FakeFolderTree.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace ostrevan::test {
namespace {

char separatorOf(const std::string& path) {
    return path.find('\\') != std::string::npos && path.find('/') == std::string::npos ? '\\' : '/';
}

std::string join(const std::string& folder, const std::string& name) {
    const char separator = separatorOf(folder);
    return !folder.empty() && folder.back() == separator ? folder + name
                                                         : folder + separator + name;
}

} // namespace

FakeFolderTree::FakeFolderTree() {
    registerType("par", "Solid Edge Part Document");
    registerType("psm", "Solid Edge Sheet Metal Document");
    registerType("asm", "Solid Edge Assembly Document");
    registerType("dft", "Solid Edge Draft Document");
    registerType("pwd", "Solid Edge Weldment Document");
    registerType("cfg", "Solid Edge Configuration File");
    registerType("txt", "Textdokument");
}

std::string FakeFolderTree::addRoot(const std::string& path, std::int32_t attributes) {
    Node& root = m_nodes[path];
    root.attributes = attributes;
    root.identity = "id " + path;
    return path;
}

std::string FakeFolderTree::addFolder(const std::string& parent, const std::string& name,
                                      std::int32_t attributes) {
    node(parent).folders.push_back(name);
    const std::string path = join(parent, name);
    addRoot(path, attributes);
    return path;
}

std::string FakeFolderTree::addLink(const std::string& parent, const std::string& name,
                                    const std::string& target) {
    const std::string path = addFolder(parent, name);
    Node& link = m_nodes[path];
    link.linkTarget = target;
    link.identity = node(target).identity;
    return path;
}

void FakeFolderTree::addFile(const std::string& folder, const std::string& name) {
    node(folder).files.push_back(name);
}

void FakeFolderTree::registerType(const std::string& extension, std::string description) {
    m_types[upperCase(extension)] = std::move(description);
}

void FakeFolderTree::failFiles(const std::string& folder, std::int32_t number) {
    node(folder).failFiles = number;
}

void FakeFolderTree::failSubFolders(const std::string& folder, std::int32_t number) {
    node(folder).failSubFolders = number;
}

Folder FakeFolderTree::GetFolder(const std::string& path) const {
    const Node* found = resolve(path);
    if (found == nullptr) {
        raise(err::PathNotFound);
    }
    const auto own = m_nodes.find(path);
    Folder folder;
    folder.Path = path;
    folder.Name = GetFileName(path);
    folder.Attributes = own != m_nodes.end() ? own->second.attributes : found->attributes;
    folder.Identity = own != m_nodes.end() ? own->second.identity : found->identity;
    return folder;
}

std::vector<File> FakeFolderTree::Files(const Folder& folder) const {
    const Node* found = resolve(folder.Path);
    if (found == nullptr) {
        raise(err::PathNotFound);
    }
    if (found->failFiles != 0) {
        raise(found->failFiles);
    }
    listed.push_back(folder.Path);
    std::vector<File> files;
    for (const std::string& name : found->files) {
        files.push_back({join(folder.Path, name), name, folder.Path, typeOf(name)});
    }
    return files;
}

std::vector<Folder> FakeFolderTree::SubFolders(const Folder& folder) const {
    const Node* found = resolve(folder.Path);
    if (found == nullptr) {
        raise(err::PathNotFound);
    }
    if (found->failSubFolders != 0) {
        raise(found->failSubFolders);
    }
    std::vector<Folder> folders;
    for (const std::string& name : found->folders) {
        folders.push_back(GetFolder(join(folder.Path, name)));
    }
    return folders;
}

File FakeFolderTree::GetFile(const std::string&) const {
    raise(err::InvalidCall);
}

bool FakeFolderTree::FileExists(const std::string&) const {
    raise(err::InvalidCall);
}

bool FakeFolderTree::FolderExists(const std::string& path) const {
    return resolve(path) != nullptr;
}

std::unique_ptr<TextStream> FakeFolderTree::OpenTextFile(const std::string&, int, bool, int) const {
    raise(err::InvalidCall);
}

const FakeFolderTree::Node* FakeFolderTree::resolve(const std::string& path) const {
    const auto exact = m_nodes.find(path);
    if (exact != m_nodes.end()) {
        return exact->second.linkTarget.empty() ? &exact->second
                                                : resolve(exact->second.linkTarget);
    }
    // A path below a link: the link's part replaced by its target.
    for (const auto& [linkPath, linkNode] : m_nodes) {
        const std::string prefix = join(linkPath, "");
        if (!linkNode.linkTarget.empty() && path.starts_with(prefix)) {
            return resolve(join(linkNode.linkTarget, path.substr(prefix.size())));
        }
    }
    return nullptr;
}

FakeFolderTree::Node& FakeFolderTree::node(const std::string& path) {
    const auto found = m_nodes.find(path);
    if (found == m_nodes.end()) {
        throw std::logic_error("no folder " + path);
    }
    return found->second;
}

std::string FakeFolderTree::typeOf(const std::string& name) const {
    const std::string extension = upperCase(GetExtensionName(name));
    if (extension.empty()) {
        return "Datei";
    }
    const auto found = m_types.find(extension);
    return found != m_types.end() ? found->second : extension + "-Datei";
}

} // namespace ostrevan::test
