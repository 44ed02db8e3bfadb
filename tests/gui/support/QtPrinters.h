#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Lets GoogleTest print Qt texts as text rather than as containers of characters.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << "{";
    for (qsizetype i = 0; i < texts.size(); ++i)
        *os << (i == 0 ? "\n  " : ",\n  ") << '"' << texts.at(i).toStdString() << '"';
    *os << " }";
}
