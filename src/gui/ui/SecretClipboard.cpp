#include "gui/ui/SecretClipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>

namespace vorkel::gui {

namespace SecretClipboard {

namespace {

// A digest, not the text: the program keeps no extra copy of a secret for this.
QByteArray& lastDigest() {
    static QByteArray digest;
    return digest;
}

QByteArray digestOf(const QString& text) {
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
}

void put(const QString& text, bool secret) {
    auto* data = new QMimeData;
    data->setText(text);
    if (secret) data->setData(QString::fromLatin1(kHintType), QByteArray(kHintValue));
    // The clipboard takes the data over.
    QGuiApplication::clipboard()->setMimeData(data);
    lastDigest() = digestOf(text);
}

}  // namespace

void copySecret(const QString& text) {
    put(text, true);
}

void copyText(const QString& text) {
    put(text, false);
}

bool clearIfOurs() {
    if (lastDigest().isEmpty()) return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText() || digestOf(data->text()) != lastDigest()) return false;
    clear();
    return true;
}

void clear() {
    QGuiApplication::clipboard()->clear();
    lastDigest().clear();
}

}  // namespace SecretClipboard

}  // namespace vorkel::gui
