#include "sources/ServiceAnswers.h"

#include "settings/WebAddress.h"

#include <nlohmann/json.hpp>

#include <cctype>

using nlohmann::json;

namespace {

// Deeper nesting than any answer of the services has is refused before
// parsing, so that no answer can exhaust the stack.
constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxTextBytes = 300;
constexpr std::size_t kMaxReleases = 100;

bool NestingWithin(std::string_view text, int limit)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

std::optional<json> Parse(std::string_view text, std::string& error)
{
    if (text.size() > kMaxAnswerBytes) {
        error = "the answer is too long";
        return std::nullopt;
    }
    if (!NestingWithin(text, kMaxDepth)) {
        error = "the answer is nested too deeply";
        return std::nullopt;
    }
    json j = json::parse(text.begin(), text.end(), nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
        error = "the answer is not a JSON object";
        return std::nullopt;
    }
    return j;
}

const json* Member(const json& j, const char* key)
{
    if (!j.is_object())
        return nullptr;
    const auto it = j.find(key);
    return it == j.end() ? nullptr : &*it;
}

// A text field cut to a length a list can show, control characters
// dropped (the JSON reader has already checked the UTF-8).
std::string TextOf(const json& j, const char* key)
{
    const json* m = Member(j, key);
    if (!m || !m->is_string())
        return {};
    std::string out;
    for (const char c : m->get_ref<const std::string&>()) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            continue;
        if (out.size() >= kMaxTextBytes && (static_cast<unsigned char>(c) & 0xC0) != 0x80)
            break;
        out.push_back(c);
    }
    return out;
}

int CountOf(const json& j, const char* key)
{
    const json* m = Member(j, key);
    if (!m || !m->is_number_integer())
        return 0;
    const auto v = m->get<long long>();
    return v < 0 || v > 10000 ? 0 : static_cast<int>(v);
}

bool IsTrue(const json& j, const char* key)
{
    const json* m = Member(j, key);
    return m && m->is_boolean() && m->get<bool>();
}

std::string ArtistCredit(const json& release)
{
    const json* credit = Member(release, "artist-credit");
    std::string artist;
    if (!credit || !credit->is_array())
        return artist;
    for (const json& part : *credit) {
        std::string name = TextOf(part, "name");
        if (name.empty())
            if (const json* a = Member(part, "artist"))
                name = TextOf(*a, "name");
        artist += name + TextOf(part, "joinphrase");
    }
    return artist.substr(0, kMaxTextBytes);
}

// "CD", "2×CD" for discs of one format, "CD + DVD" for mixed ones.
void ReadMedia(const json& release, ReleaseInfo& info)
{
    const json* media = Member(release, "media");
    if (!media || !media->is_array())
        return;
    std::vector<std::string> formats;
    int tracks = 0;
    for (const json& medium : *media) {
        formats.push_back(TextOf(medium, "format"));
        tracks += CountOf(medium, "track-count");
    }
    if (info.trackCount == 0)
        info.trackCount = tracks;
    bool same = !formats.empty();
    for (const std::string& f : formats)
        same = same && f == formats.front();
    if (same && !formats.front().empty()) {
        info.format = formats.size() > 1 ? std::to_string(formats.size()) + "\u00d7" + formats.front() : formats.front();
        return;
    }
    for (const std::string& f : formats) {
        if (f.empty())
            continue;
        info.format += (info.format.empty() ? "" : " + ") + f;
    }
}

std::string YearOf(const std::string& date)
{
    if (date.size() < 4)
        return {};
    for (int i = 0; i < 4; ++i)
        if (!std::isdigit(static_cast<unsigned char>(date[static_cast<std::size_t>(i)])))
            return {};
    return date.substr(0, 4);
}

bool HasType(const json& image, const char* type)
{
    const json* types = Member(image, "types");
    if (!types || !types->is_array())
        return false;
    for (const json& t : *types)
        if (t.is_string() && t.get_ref<const std::string&>() == type)
            return true;
    return false;
}

// An address to fetch: http or https only.
std::string AddressOf(const json& j, const char* key)
{
    const json* m = Member(j, key);
    if (!m || !m->is_string() || m->get_ref<const std::string&>().size() > 2000)
        return {};
    const std::string& a = m->get_ref<const std::string&>();
    return IsWebAddress(a) ? a : std::string();
}

std::string ThumbnailOf(const json& image)
{
    const json* thumbs = Member(image, "thumbnails");
    if (!thumbs)
        return {};
    for (const char* size : {"250", "small", "500", "large"}) {
        const std::string a = AddressOf(*thumbs, size);
        if (!a.empty())
            return a;
    }
    return {};
}

}  // namespace

bool IsMusicBrainzId(std::string_view text)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-')
                return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

ReleaseAnswer ParseReleases(std::string_view text)
{
    ReleaseAnswer answer;
    const std::optional<json> j = Parse(text, answer.error);
    if (!j)
        return answer;
    const json* releases = Member(*j, "releases");
    if (!releases || !releases->is_array()) {
        answer.error = "the answer lists no releases";
        return answer;
    }
    answer.ok = true;
    for (const json& r : *releases) {
        if (answer.releases.size() >= kMaxReleases)
            break;
        ReleaseInfo info;
        info.id = TextOf(r, "id");
        if (!IsMusicBrainzId(info.id))
            continue;
        info.title = TextOf(r, "title");
        info.artist = ArtistCredit(r);
        info.year = YearOf(TextOf(r, "date"));
        info.country = TextOf(r, "country");
        info.trackCount = CountOf(r, "track-count");
        ReadMedia(r, info);
        answer.releases.push_back(std::move(info));
    }
    return answer;
}

CoverArtAnswer ParseCoverArt(std::string_view text)
{
    CoverArtAnswer answer;
    const std::optional<json> j = Parse(text, answer.error);
    if (!j)
        return answer;
    const json* images = Member(*j, "images");
    if (!images || !images->is_array()) {
        answer.error = "the answer lists no images";
        return answer;
    }
    answer.ok = true;
    for (const json& image : *images) {
        const std::string address = AddressOf(image, "image");
        if (address.empty())
            continue;
        if (answer.images.front.empty() && (IsTrue(image, "front") || HasType(image, "Front"))) {
            answer.images.front = address;
            answer.images.frontThumbnail = ThumbnailOf(image);
        } else if (answer.images.back.empty() && (IsTrue(image, "back") || HasType(image, "Back"))) {
            answer.images.back = address;
            answer.images.backThumbnail = ThumbnailOf(image);
        }
    }
    return answer;
}
