#include "gui/orvik/FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/PathName.h"
#include "gui/orvik/Paths.h"
#include "gui/orvik/Wildcard.h"

namespace orvik {

namespace {

constexpr std::size_t MAX_PATH_CHARS = 260;

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The name the system is given: backslashes are separators to this library.
std::string systemName(const std::string& path) {
    std::string name(path);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

QString qtName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(systemName(path)));
}

// Parsing first fills in what parsing fills in and folds separators, as every query does.
QFileInfo parsedInfo(const std::string& path) {
    return QFileInfo(qtName(PathName(path).text()));
}

QFileInfo infoOrRaise(const std::string& path) {
    QFileInfo info(qtName(path));
    if (!info.exists()) {
        throw Exception("Filename or path could not be found: " + quoted(path));
    }
    return info;
}

std::string orDot(const std::string& text) {
    return text.empty() ? std::string(".") : text;
}

// The system's own search: "*.*" stands for every name, as the platforms with drive letters have it.
bool searchFinds(const std::string& pattern, const std::string& name) {
    return pattern == "*.*" || matchesWildcard(pattern, name);
}

// Not following links keeps a tree operation inside the tree it was given.
bool isFolderEntry(const std::string& path) {
    const QFileInfo info(qtName(path));
    return info.isDir() && !info.isSymLink();
}

// Anything at the path, a dangling link included.
bool anythingAt(const QString& name) {
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
}

bool parentFolderExists(const QString& name) {
    return QFileInfo(QFileInfo(name).absolutePath()).isDir();
}

// The system's reason for a failed open, from what is at the path: Qt's file classes report no
// errno, and the texts of this library carry the system's own wording.
int openFailure(const QString& name, bool creating) {
    const QFileInfo info(name);
    if (creating && anythingAt(name)) {
        return EEXIST;
    }
    if (!creating && !info.exists()) {
        return ENOENT;
    }
    if (creating && !parentFolderExists(name)) {
        return ENOENT;
    }
    if (!creating && info.isDir()) {
        return EISDIR;
    }
    return EACCES;
}

QFileDevice::Permissions permissionsOf(int mode) {
    const struct {
        int bit;
        QFileDevice::Permissions flags;
    } BITS[] = {
        {0400, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {0200, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {0100, QFileDevice::ExeOwner | QFileDevice::ExeUser},
        {0040, QFileDevice::ReadGroup},
        {0020, QFileDevice::WriteGroup},
        {0010, QFileDevice::ExeGroup},
        {0004, QFileDevice::ReadOther},
        {0002, QFileDevice::WriteOther},
        {0001, QFileDevice::ExeOther},
    };
    QFileDevice::Permissions permissions;
    for (const auto& b : BITS) {
        if ((mode & b.bit) != 0) {
            permissions |= b.flags;
        }
    }
    return permissions;
}

bool copyContent(QFile& source, QFile& target) {
    char buffer[65536];
    for (;;) {
        const qint64 got = source.read(buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0 || target.write(buffer, got) != got) {
            return false;
        }
    }
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

}  // namespace

bool exists(const std::string& path) {
    return parsedInfo(path).exists();
}

bool isFile(const std::string& path) {
    return parsedInfo(path).isFile();
}

bool isDirectory(const std::string& path) {
    return parsedInfo(path).isDir();
}

bool isReadableFile(const std::string& path) {
    return isFile(path) && accessible(path, 4);
}

bool isReadableDirectory(const std::string& path) {
    const std::string folder = orDot(path);
    return isDirectory(folder) && accessible(folder, 4);
}

bool isWritableDirectory(const std::string& path) {
    const std::string folder = orDot(path);
    return isDirectory(folder) && accessible(folder, 2);
}

bool isWritableLocation(const std::string& path) {
    if (isFile(path)) {
        return accessible(path, 2);
    }
    return isWritableDirectory(orDot(directoryOf(path)));
}

bool accessible(const std::string& path, int mode) {
    const QFileInfo info(qtName(path));
    if (!info.exists()) {
        throw Exception("The path " + quoted(path) + " is invalid.");
    }
    if ((mode & 4) != 0 && !info.isReadable()) {
        return false;
    }
    if ((mode & 2) != 0 && !info.isWritable()) {
        return false;
    }
    return (mode & 1) == 0 || info.isExecutable();
}

bool changeMode(const std::string& path, int mode) {
    const QString name = qtName(path);
    if (!QFileInfo::exists(name)) {
        throw Exception("The path " + quoted(path) + " is invalid.");
    }
    if (QFile::setPermissions(name, permissionsOf(mode))) {
        return true;
    }
    throw Exception(quoted(path) + " permission denied.");
}

std::uint64_t fileSize(const std::string& path) {
    return static_cast<std::uint64_t>(infoOrRaise(path).size());
}

std::int64_t creationTime(const std::string& path) {
    const QFileInfo info = infoOrRaise(path);
    // Not every file system records a birth time; the last status change is the nearest there is.
    const QDateTime birth = info.birthTime();
    return (birth.isValid() ? birth : info.metadataChangeTime()).toSecsSinceEpoch();
}

std::int64_t modificationTime(const std::string& path) {
    return infoOrRaise(path).lastModified().toSecsSinceEpoch();
}

std::int64_t accessTime(const std::string& path) {
    return infoOrRaise(path).lastRead().toSecsSinceEpoch();
}

void createFile(const std::string& path) {
    if (exists(path)) {
        throw Exception(" File " + quoted(path) + " already exists!");
    }
    std::FILE* file = openFile(path, "w");
    if (file == nullptr) {
        throw Exception(" Cannot create file " + quoted(path) + "!");
    }
    std::fclose(file);
}

std::FILE* openFile(const std::string& path, const std::string& mode) {
    return std::fopen(systemName(path).c_str(), mode.c_str());
}

bool renameFile(const std::string& from, const std::string& to) {
    const std::string deniedText = "File or directory specified by " + quoted(to) +
                                   " already exists or could not be created (invalid path);" + "or " +
                                   quoted(from) + " is a directory and " + quoted(to) +
                                   " specifies a different path.";
    const QString source = qtName(from);
    const QString target = qtName(to);
    if (!anythingAt(source)) {
        throw Exception("File or path specified by " + quoted(from) + " not found.");
    }
    // The system here would replace an existing target; renaming never overwrites.
    if (exists(to) || anythingAt(target)) {
        throw Exception(deniedText);
    }
    const QFileInfo sourceInfo(source);
    const QString sourcePath = sourceInfo.absoluteFilePath();
    const QString targetPath = QFileInfo(target).absoluteFilePath();
    // A folder cannot move into itself, and no name part may be longer than the system takes.
    if ((sourceInfo.isDir() && targetPath.startsWith(sourcePath + "/")) ||
        QFile::encodeName(QFileInfo(target).fileName()).size() > 255) {
        throw Exception("Name contains invalid characters.");
    }
    const bool renamed = sourceInfo.isDir() && !sourceInfo.isSymLink() ? QDir().rename(source, target)
                                                                       : QFile::rename(source, target);
    if (renamed) {
        return true;
    }
    throw Exception(deniedText);
}

bool moveFile(const std::string& from, const std::string& to) {
    if (isFile(to)) {
        throw Exception(" File " + quoted(to) + " already exists!");
    }
    if (absoluteFolder(directoryOf(from)) == absoluteFolder(directoryOf(to))) {
        return renameFile(from, to);
    }
    copyFile(from, to);
    deleteFile(from);
    return true;
}

void copyFile(const std::string& from, const std::string& to) {
    const auto fail = [&](int reason) {
        return Exception("Couldn't copy file " + quoted(from) + " to file " + quoted(to) + ": " +
                         lastErrorText(reason));
    };
    const QString sourceName = qtName(from);
    const QString targetName = qtName(to);
    QFile source(sourceName);
    if (QFileInfo(sourceName).isDir()) {
        throw fail(EISDIR);
    }
    if (!source.open(QIODevice::ReadOnly)) {
        throw fail(openFailure(sourceName, false));
    }
    QFile target(targetName);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw fail(openFailure(targetName, true));
    }
    const bool copied = copyContent(source, target) && target.flush();
    target.close();
    if (!copied) {
        target.remove();
        throw fail(source.error() != QFileDevice::NoError ? EIO : ENOSPC);
    }
    target.setPermissions(source.permissions());
}

void deleteFile(const std::string& path) {
    const QString name = qtName(path);
    const QFileInfo info(name);
    if (info.isDir() && !info.isSymLink()) {
        throw Exception("Error deleting " + quoted(path) + ": " + lastErrorText(EISDIR));
    }
    if (!QFile::remove(name)) {
        throw Exception("Error deleting " + quoted(path) + ": " +
                        lastErrorText(anythingAt(name) ? EACCES : ENOENT));
    }
}

bool makeDirectory(const std::string& path) {
    const QString name = qtName(path);
    if (anythingAt(name)) {
        throw Exception("Directory was not created because " + quoted(path) +
                        " is the name of an existing file, directory, or device.");
    }
    // The nearest folder on the way that is there: a file in its place makes the path no folder
    // path at all, which is no "not found".
    QFileInfo above(QFileInfo(name).absolutePath());
    while (!anythingAt(above.absoluteFilePath()) && !above.isRoot()) {
        above = QFileInfo(above.absolutePath());
    }
    if (!above.isDir()) {
        return false;
    }
    if (!parentFolderExists(name)) {
        throw Exception("The path " + quoted(path) + " was not found.");
    }
    return QDir().mkdir(name);
}

void makeDirectories(const std::string& path) {
    const PathName folder(absoluteFolder(path));
    std::string current = folder.root + "\\";
    if (!isDirectory(current)) {
        throw Exception(" Path " + quoted(path) + " invalid!");
    }
    for (const auto& component : folder.components) {
        current = joinPath(current, component);
        if (!isDirectory(current)) {
            makeDirectory(current);
        }
    }
}

bool removeDirectory(const std::string& path) {
    const QString name = qtName(path);
    const QFileInfo info(name);
    if (!anythingAt(name)) {
        throw Exception("The path " + quoted(path) + " is invalid.");
    }
    const bool folder = info.isDir() && !info.isSymLink();
    if (folder && QDir().rmdir(name)) {
        return true;
    }
    if (folder && entriesOf(name).isEmpty() && !QFileInfo(info.absolutePath()).isWritable()) {
        throw Exception("A program has an open handle to the directory.");
    }
    throw Exception("The path " + quoted(path) +
                    " is not a directory; directory is not empty; or directory is either current "
                    "working directory or root directory.");
}

bool removeDirectoryTree(const std::string& path) {
    if (!isDirectory(path)) {
        throw Exception("Folder " + quoted(path) + " doesn't exist!");
    }
    for (const auto& name : listFiles(path)) {
        deleteFile(joinPath(path, name));
    }
    for (const auto& name : listFolders(path)) {
        removeDirectoryTree(joinPath(path, name));
    }
    return removeDirectory(path);
}

void copyDirectoryTree(const std::string& from, const std::string& to, bool recursive) {
    if (!isDirectory(from)) {
        throw Exception(" " + quoted(from) + " doesn't exist!");
    }
    if (!isDirectory(to)) {
        throw Exception(" " + quoted(to) + " doesn't exist!");
    }
    if (!isWritableDirectory(to)) {
        throw Exception(" Could not write to " + quoted(to) + "!");
    }
    for (const auto& name : listEntries(from)) {
        const std::string source = joinPath(from, name);
        const std::string target = joinPath(to, name);
        if (isFolderEntry(source)) {
            if (!isDirectory(target)) {
                makeDirectory(target);
            }
            if (recursive) {
                copyDirectoryTree(source, target, true);
            }
        } else {
            if (exists(target)) {
                deleteFile(target);
            }
            copyFile(source, target);
        }
    }
}

bool isDirectoryEmpty(const std::string& path) {
    // Anything the search for "*.*" finds counts, a file without a dot in its name included; the
    // wildcard filter of listDirectory would pass such a file over.
    const std::string folder = orDot(path);
    const QFileInfo info(qtName(folder));
    if (!info.isDir()) {
        return true;
    }
    if (!info.isReadable()) {
        throw Exception("Invalid filename specification: " + quoted(joinPath(folder, "*.*")));
    }
    return entriesOf(qtName(folder)).isEmpty();
}

std::vector<std::string> listDirectory(const std::string& path, const std::string& pattern, bool folders,
                                       bool files) {
    const std::string folder = orDot(path);
    const std::string search = joinPath(folder, pattern);
    if (pattern.empty() || pattern.find_first_of("\\/") != std::string::npos) {
        throw Exception("Invalid filename specification: " + quoted(search));
    }
    const QFileInfo info(qtName(folder));
    if (!info.isDir()) {
        return {};
    }
    if (!info.isReadable()) {
        throw Exception("Invalid filename specification: " + quoted(search));
    }
    std::vector<std::string> names;
    for (const QString& entry : entriesOf(qtName(folder))) {
        const std::string name = QFile::encodeName(entry).toStdString();
        if (!searchFinds(pattern, name)) {
            continue;
        }
        if (isFolderEntry(joinPath(folder, name))) {
            if (folders) {
                names.push_back(name);
            }
        } else if (files && matchesWildcard(pattern, name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listFolders(const std::string& path) {
    return listDirectory(path, "*", true, false);
}

std::vector<std::string> listFiles(const std::string& path) {
    return listDirectory(path, "*", false, true);
}

std::vector<std::string> listEntries(const std::string& path) {
    return listDirectory(path, "*", true, true);
}

std::string currentDirectory() {
    return QFile::encodeName(QDir::currentPath()).toStdString();
}

void setCurrentDirectory(const std::string& path) {
    if (toWide(withTrailingSeparator(path)).size() >= MAX_PATH_CHARS) {
        throw Exception("The path length should not exceed 260 chars including the final \"\\\": " +
                        quoted(path));
    }
    const QString name = qtName(path);
    if (!QDir::setCurrent(name)) {
        const QFileInfo info(name);
        const int reason = !info.exists() ? ENOENT : !info.isDir() ? ENOTDIR : EACCES;
        throw Exception(" -- SetCurrentDirectory error " + toString(reason));
    }
}

std::string homeDirectory() {
    if (qEnvironmentVariableIsSet("HOME")) {
        return qgetenv("HOME").toStdString();
    }
    const bool drive = qEnvironmentVariableIsSet("HOMEDRIVE");
    const bool folder = qEnvironmentVariableIsSet("HOMEPATH");
    if (drive || folder) {
        return qgetenv("HOMEDRIVE").toStdString() + qgetenv("HOMEPATH").toStdString();
    }
    return "C:\\";
}

std::string findInList(const std::string& name, const std::string& list) {
    if (!directoryOf(name).empty()) {
        throw Exception("File name " + quoted(name) + " is invalid!");
    }
    std::vector<std::string> folders;
    tokenize(list, ";", folders, false);
    for (const auto& folder : folders) {
        const std::string candidate = joinPath(folder, name);
        if (isFile(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

std::string findInPath(const std::string& name) {
    // PATH separates its folders with ":" here; the list form of this library uses ";".
    std::string folders = qgetenv("PATH").toStdString();
    std::replace(folders.begin(), folders.end(), ':', ';');
    return findInList(name, ".;" + folders);
}

std::string programDirectory(const std::string& path) {
    const std::string folder = directoryOf(path);
    return folder.empty() ? directoryOf(findInPath(path)) : folder;
}

std::string lastErrorText(int code) {
    std::string text = std::strerror(code);
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

std::string lastErrorText() {
    return lastErrorText(errno);
}

}  // namespace orvik
