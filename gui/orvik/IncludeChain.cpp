#include "gui/orvik/IncludeChain.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/PathName.h"

namespace orvik {

void IncludeChain::enter(const std::string& path) {
    std::string name = PathName(path).text();
    std::replace(name.begin(), name.end(), '\\', '/');
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(name)));
    if (!info.exists()) {
        throw Exception("GenericXmlParser -- read() called with invalid filename!");
    }
    // The same file reached under another name (a link, a relative path) is still the same file.
    const std::string identity = QFile::encodeName(info.canonicalFilePath()).toStdString();
    if (std::find(m_files.begin(), m_files.end(), identity) != m_files.end()) {
        throw Exception(
            ORVIK_LOCATED("GenericXmlParser -- include cycle: \"" + path + "\" is already being read"));
    }
    // The outermost file is not an include.
    if (m_files.size() > MAX_DEPTH) {
        throw Exception(ORVIK_LOCATED("GenericXmlParser -- includes nested deeper than " +
                                      toString(static_cast<unsigned long>(MAX_DEPTH)) + " at \"" + path +
                                      "\""));
    }
    m_files.push_back(identity);
}

void IncludeChain::leave() {
    if (!m_files.empty()) {
        m_files.pop_back();
    }
}

}  // namespace orvik
