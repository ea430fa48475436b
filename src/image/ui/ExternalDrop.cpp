#include "image/ui/ExternalDrop.h"

#include "image/PictureKinds.h"

#include <QMimeData>

namespace {

// GNOME's and its relatives' copied files: "copy" or "cut", then one
// address per line.
const QString kCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString kQtImage = QStringLiteral("application/x-qt-image");

// The picture kinds whose bytes may come as they are, with their extension;
// PNG and JPEG first, as most programs offer them.
QList<QPair<QString, QString>> PictureMimeTypes()
{
    QList<QPair<QString, QString>> types = {{QStringLiteral("image/png"), QStringLiteral("png")},
                                            {QStringLiteral("image/jpeg"), QStringLiteral("jpg")}};
    for (const PictureKind& kind : ReadablePictureKinds())
        for (const std::string& m : kind.mimeTypes) {
            const QString mime = QString::fromStdString(m);
            if (mime != types[0].first && mime != types[1].first && !kind.extensions.empty())
                types.append({mime, QString::fromStdString(kind.extensions.front())});
        }
    return types;
}

QList<QUrl> CopiedFiles(const QMimeData* data)
{
    QList<QUrl> urls;
    const QList<QByteArray> lines = data->data(kCopiedFiles).split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (!line.isEmpty())
            urls << QUrl::fromEncoded(line);
    }
    return urls;
}

}  // namespace

bool CarriesExternalPictures(const QMimeData* data)
{
    if (!data)
        return false;
    if (data->hasUrls() || data->hasFormat(kCopiedFiles) || data->hasFormat(kQtImage))
        return true;
    for (const auto& type : PictureMimeTypes())
        if (data->hasFormat(type.first))
            return true;
    return false;
}

ExternalPictures ReadExternalPictures(const QMimeData* data)
{
    ExternalPictures out;
    if (!data)
        return out;
    QList<QUrl> urls = data->hasUrls() ? data->urls() : QList<QUrl>();
    if (urls.isEmpty() && data->hasFormat(kCopiedFiles))
        urls = CopiedFiles(data);
    for (const QUrl& url : urls) {
        const QString scheme = url.scheme().toLower();
        if (url.isLocalFile())
            out.files << url.toLocalFile();
        else if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            out.addresses << url;
        else if (url.isValid() && !url.isEmpty())
            out.otherAddresses << url;
    }
    for (const auto& type : PictureMimeTypes()) {
        if (!data->hasFormat(type.first))
            continue;
        const QByteArray bytes = data->data(type.first);
        if (!bytes.isEmpty()) {
            out.data = bytes;
            out.dataExtension = type.second;
            break;
        }
    }
    if (out.data.isEmpty() && data->hasImage())
        out.image = qvariant_cast<QImage>(data->imageData());
    // A browser gives the picture's address with its bytes: its name lets the
    // back-cover search work for the saved picture too.
    if (!out.addresses.isEmpty())
        out.nameHint = out.addresses.front().fileName();
    return out;
}
