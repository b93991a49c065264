#pragma once
#include "common/core/LinkShortString.h"
#include "common/core/LinkString.h"

#include <QByteArray>
#include <QString>

// Conversions between the session record's text fields and Qt strings, kept
// apart so that the record itself stays free of Qt.
namespace vm::core {

inline QString toQString(const LinkString& text) {
    return QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
}

inline QString toQString(const LinkShortString& text) {
    const std::string_view v = text.view();
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

inline LinkString toLinkString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return LinkString(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace vm::core
