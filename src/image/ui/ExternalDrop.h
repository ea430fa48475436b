#pragma once
// What a drag from another program, or the clipboard, carries that a paper
// takes: local files (a uri-list of file: addresses, or a file manager's
// copied files), web addresses, and picture data as browsers and picture
// programs give it (the bytes of a kind the program reads, or Qt's image).
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class QMimeData;

struct ExternalPictures {
    QStringList files;            // local files, in the order given
    QList<QUrl> addresses;        // http and https addresses
    QList<QUrl> otherAddresses;   // any other scheme: refused with a word
    QByteArray data;              // a picture file's bytes, as given
    QString dataExtension;        // the kind of those bytes ("png")
    QImage image;                 // Qt's image, when no bytes came
    QString nameHint;             // the file name of the address the data came with

    bool HasPictureData() const { return !data.isEmpty() || !image.isNull(); }
    bool Empty() const
    {
        return files.isEmpty() && addresses.isEmpty() && otherAddresses.isEmpty() && !HasPictureData();
    }
};

// Whether a drag carries anything a paper takes; looks at the offered
// kinds only, so that a drag moving over the paper fetches no data.
bool CarriesExternalPictures(const QMimeData* data);
// Everything a drag or the clipboard carries, read once at the drop or paste.
ExternalPictures ReadExternalPictures(const QMimeData* data);
