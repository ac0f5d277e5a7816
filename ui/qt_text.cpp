#include "ui/qt_text.h"

#include <QFile>
#include <QStringDecoder>

namespace vesk {

QString toQt(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(view);
}

bool isUtf8Text(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !utf8.hasError();
}

std::string fromQt(const QString& text) {
    return text.toStdString();
}

QString fileNameToQt(std::string_view name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string fileNameFromQt(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

} // namespace vesk
