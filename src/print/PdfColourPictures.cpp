#include "print/PdfColourPictures.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>

namespace {
// Colours no picture of ours is made of by chance, around the id.
constexpr std::uint32_t kMarkFirst = 0x4B5621, kMarkLast = 0x21434B;

QPDFObjectHandle Name(const char* name) { return QPDFObjectHandle::newName(name); }

// One ICC stream per distinct profile, shared by the pictures that have it.
class ColourSpaces {
public:
    explicit ColourSpaces(QPDF& pdf) : pdf_(pdf) {}

    QPDFObjectHandle For(const PictureColour& colour) {
        const char* device = colour.channels == 1 ? "/DeviceGray" : colour.channels == 4 ? "/DeviceCMYK" : "/DeviceRGB";
        if (colour.profile.empty())
            return Name(device);
        const std::string bytes(colour.profile.begin(), colour.profile.end());
        auto found = profiles_.find(bytes);
        if (found == profiles_.end()) {
            QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf_, bytes);
            stream.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(colour.channels));
            stream.getDict().replaceKey("/Alternate", Name(device));
            found = profiles_.emplace(bytes, pdf_.makeIndirectObject(stream)).first;
        }
        QPDFObjectHandle space = QPDFObjectHandle::newArray();
        space.appendItem(Name("/ICCBased"));
        space.appendItem(found->second);
        return space;
    }

private:
    QPDF& pdf_;
    std::map<std::string, QPDFObjectHandle> profiles_;
};

// Adobe's inverted CMYK is read back the other way up; any other data as stored.
void SetDecode(QPDFObjectHandle dict, const PictureColour& colour) {
    if (colour.channels == 4 && colour.inverted) {
        QPDFObjectHandle decode = QPDFObjectHandle::newArray();
        for (int i = 0; i < 4; ++i) {
            decode.appendItem(QPDFObjectHandle::newInteger(1));
            decode.appendItem(QPDFObjectHandle::newInteger(0));
        }
        dict.replaceKey("/Decode", decode);
    } else {
        dict.removeKey("/Decode");
    }
}

// The entry a stand-in's decoded pixels name, or -1.
long StandInId(const std::string& rgb) {
    if (rgb.size() != 3 * CPdfColourPictures::kStandInWidth)
        return -1;
    auto pixel = [&](int i) {
        return (std::uint32_t{static_cast<std::uint8_t>(rgb[3 * i])} << 16) |
               (std::uint32_t{static_cast<std::uint8_t>(rgb[3 * i + 1])} << 8) |
               static_cast<std::uint8_t>(rgb[3 * i + 2]);
    };
    if (pixel(0) != kMarkFirst || pixel(2) != kMarkLast)
        return -1;
    return static_cast<long>(pixel(1));
}
}  // namespace

std::array<std::uint32_t, CPdfColourPictures::kStandInWidth> CPdfColourPictures::StandInPixels(std::uint32_t id) {
    return {kMarkFirst, id & 0xFFFFFFu, kMarkLast};
}

void CPdfColourPictures::AddJpeg(std::shared_ptr<const std::vector<std::uint8_t>> jpeg,
                                 std::shared_ptr<const PictureColour> colour) {
    if (jpeg && colour)
        jpegs_.push_back(Jpeg{std::move(jpeg), std::move(colour)});
}

std::uint32_t CPdfColourPictures::AddSamples(std::shared_ptr<const PictureColour> colour) {
    samples_.push_back(std::move(colour));
    return static_cast<std::uint32_t>(samples_.size() - 1);
}

bool CPdfColourPictures::Amend(const std::string& path, std::string& error) const {
    if (empty())
        return true;
    const std::string temporary = path + ".colour";
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(path.c_str());
        ColourSpaces spaces(pdf);
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            if (!object.isStream())
                continue;
            QPDFObjectHandle dict = object.getDict();
            if (!dict.getKey("/Subtype").isNameAndEquals("/Image"))
                continue;
            if (dict.getKey("/Filter").isNameAndEquals("/DCTDecode")) {
                const std::shared_ptr<Buffer> raw = object.getRawStreamData();
                for (const Jpeg& jpeg : jpegs_) {
                    if (raw->getSize() != jpeg.data->size() ||
                        std::memcmp(raw->getBuffer(), jpeg.data->data(), raw->getSize()) != 0)
                        continue;
                    dict.replaceKey("/ColorSpace", spaces.For(*jpeg.colour));
                    SetDecode(dict, *jpeg.colour);
                    break;
                }
                continue;
            }
            if (!dict.getKey("/Width").isInteger() || dict.getKey("/Width").getIntValue() != kStandInWidth ||
                !dict.getKey("/Height").isInteger() || dict.getKey("/Height").getIntValue() != 1)
                continue;
            const std::shared_ptr<Buffer> data = object.getStreamData(qpdf_dl_generalized);
            const long id = StandInId(std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()));
            if (id < 0 || static_cast<std::size_t>(id) >= samples_.size())
                continue;
            const PictureColour& colour = *samples_[static_cast<std::size_t>(id)];
            object.replaceStreamData(std::string(colour.samples.begin(), colour.samples.end()),
                                     QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
            dict.replaceKey("/Width", QPDFObjectHandle::newInteger(colour.width));
            dict.replaceKey("/Height", QPDFObjectHandle::newInteger(colour.height));
            dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
            dict.replaceKey("/ColorSpace", spaces.For(colour));
            dict.removeKey("/SMask");
            SetDecode(dict, colour);
        }
        QPDFWriter writer(pdf, temporary.c_str());
        // What cairo compressed stays as it is; only the new streams are.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
    } catch (const std::exception& e) {
        std::remove(temporary.c_str());
        error = std::string("the PDF's colours could not be written: ") + e.what();
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "the PDF's colours could not be written: the file cannot be replaced";
        return false;
    }
    return true;
}
