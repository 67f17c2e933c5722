#include "C3dExporter.h"

#include "ByteCursor.h"
#include "CKadivoDoc.h"
#include "TextExports.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kadivo {

namespace {

constexpr int kBlock = 512;
constexpr std::uint8_t kKey = 0x50;
constexpr std::uint8_t kIntelProcessor = 84;
constexpr std::int8_t kPointGroup = 1, kAnalogGroup = 2, kTrialGroup = 3, kEventGroup = 4;
// Header words 150 and 151: the key that says the event section is laid out, and no events.
constexpr std::size_t kEventKeyOffset = 298;
constexpr std::uint16_t kEventKey = 12345;
// A 16-bit frame count holds at most this; longer trials give their last frame in TRIAL.
constexpr int kMostHeaderFrames = 65535;

template <typename T>
void AppendRaw(std::vector<std::uint8_t>& bytes, T value) {
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    bytes.insert(bytes.end(), raw, raw + sizeof(T));
}

// The parameter section's entries, each a group or a parameter with its data.
class ParameterSection {
public:
    void Group(std::int8_t id, const std::string& name, const std::string& description) {
        Entry entry;
        entry.Name(name, static_cast<std::int8_t>(-id));
        entry.description = description;
        entries_.push_back(entry);
    }
    void Int16(std::int8_t group, const std::string& name, std::int16_t value) {
        AppendRaw(Parameter(group, name, 2, {}).data, value);
    }
    void Float(std::int8_t group, const std::string& name, float value) { AppendRaw(Parameter(group, name, 4, {}).data, value); }
    void Int16s(std::int8_t group, const std::string& name, const std::vector<std::int16_t>& values) {
        Entry& entry = Parameter(group, name, 2, {static_cast<std::uint8_t>(values.size())});
        for (std::int16_t value : values) AppendRaw(entry.data, value);
    }
    // A character array of `rows` texts, each padded with blanks to the longest.
    void Text(std::int8_t group, const std::string& name, const std::vector<std::string>& rows) {
        std::size_t width = 1;
        for (const std::string& row : rows) width = std::max(width, row.size());
        width = std::min<std::size_t>(width, 255);
        const bool list = rows.size() != 1;
        Entry& entry = Parameter(group, name, -1,
                                 list ? std::vector<std::uint8_t>{static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(std::min<std::size_t>(rows.size(), 255))}
                                      : std::vector<std::uint8_t>{static_cast<std::uint8_t>(width)});
        for (std::size_t r = 0; r < std::min<std::size_t>(rows.size(), 255); ++r) {
            std::string padded = rows[r].substr(0, width);
            padded.resize(width, ' ');
            entry.data.insert(entry.data.end(), padded.begin(), padded.end());
        }
    }

    // The section with its four leading bytes, padded to whole blocks.
    std::vector<std::uint8_t> Bytes() {
        ByteWriter body;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            const Entry& entry = entries_[e];
            const std::vector<std::uint8_t>& data = entry.data;
            body.U8(static_cast<std::uint8_t>(entry.nameLength));
            body.U8(static_cast<std::uint8_t>(entry.id));
            body.Bytes(entry.name.data(), entry.name.size());
            // The offset counts from itself to the next entry; 0 ends the section.
            std::size_t after = 2;
            if (entry.id > 0) after += 2 + entry.dimensions.size() + data.size();
            after += 1 + entry.description.size();
            body.U16(e + 1 < entries_.size() ? static_cast<std::uint16_t>(after) : 0);
            if (entry.id > 0) {
                body.U8(static_cast<std::uint8_t>(entry.type));
                body.U8(static_cast<std::uint8_t>(entry.dimensions.size()));
                body.Bytes(entry.dimensions.data(), entry.dimensions.size());
                body.Bytes(data.data(), data.size());
            }
            body.U8(static_cast<std::uint8_t>(entry.description.size()));
            body.Bytes(entry.description.data(), entry.description.size());
        }
        std::vector<std::uint8_t> content = body.Take();
        const std::size_t blocks = (content.size() + 4 + kBlock - 1) / kBlock;
        ByteWriter section;
        section.U8(1);
        section.U8(kKey);
        section.U8(static_cast<std::uint8_t>(blocks));
        section.U8(kIntelProcessor);
        section.Bytes(content.data(), content.size());
        std::vector<std::uint8_t> bytes = section.Take();
        bytes.resize(blocks * kBlock, 0);
        return bytes;
    }

    // Blocks the section takes, for the header and DATA_START, which must be known before
    // the section is written: every entry's size does not depend on the values.
    std::size_t Blocks() const {
        std::size_t size = 4;
        for (const Entry& entry : entries_) {
            size += 2 + entry.name.size() + 2 + 1 + entry.description.size();
            if (entry.id > 0) size += 2 + entry.dimensions.size() + entry.dataSize;
        }
        return (size + kBlock - 1) / kBlock;
    }

private:
    struct Entry {
        std::int8_t nameLength = 0;
        std::int8_t id = 0;
        std::string name;
        std::int8_t type = 0;
        std::vector<std::uint8_t> dimensions;
        std::vector<std::uint8_t> data;
        std::size_t dataSize = 0;
        std::string description;

        void Name(const std::string& text, std::int8_t entryId) {
            name = text;
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
            nameLength = static_cast<std::int8_t>(name.size());
            id = entryId;
        }
    };

    Entry& Parameter(std::int8_t group, const std::string& name, std::int8_t type, std::vector<std::uint8_t> dimensions) {
        Entry& entry = entries_.emplace_back();
        entry.Name(name, group);
        entry.type = type;
        entry.dimensions = std::move(dimensions);
        std::size_t elements = 1;
        for (std::uint8_t d : entry.dimensions) elements *= d;
        entry.dataSize = elements * static_cast<std::size_t>(type < 0 ? 1 : type);
        return entry;
    }

    std::vector<Entry> entries_;
};

}  // namespace

std::vector<std::uint8_t> C3dExporter::Bytes() const {
    const int points = doc_.pointCount;
    const int frames = doc_.worldFiltered.empty() ? 0 : doc_.worldFrameCount;
    const float rate = 1.0f / doc_.framePeriod;
    std::vector<std::string> labels, descriptions;
    for (int p = 0; p < points; ++p) {
        const ModelPoint& point = doc_.modelPoints[static_cast<std::size_t>(p)];
        labels.push_back(point.name);
        descriptions.push_back(point.side == kSideRight ? "Right" : point.side == kSideLeft ? "Left" : "Middle");
    }
    // FRAMES is read as an unsigned word; the trial's fields hold the whole count as two words.
    const auto headerFrames = static_cast<std::uint16_t>(std::min(frames, kMostHeaderFrames));
    const std::vector<std::int16_t> lastField{static_cast<std::int16_t>(frames & 0xFFFF), static_cast<std::int16_t>(frames >> 16)};

    // The section's size depends only on its entries, so it is laid out once with the data
    // start still unknown and once more with it.
    auto buildSection = [&](std::int16_t dataStart) {
        ParameterSection section;
        section.Group(kPointGroup, "POINT", "3-D point parameters");
        section.Int16(kPointGroup, "USED", static_cast<std::int16_t>(points));
        section.Float(kPointGroup, "SCALE", -1.0f);
        section.Float(kPointGroup, "RATE", rate);
        section.Int16(kPointGroup, "DATA_START", dataStart);
        section.Int16(kPointGroup, "FRAMES", static_cast<std::int16_t>(headerFrames));
        section.Text(kPointGroup, "LABELS", labels);
        section.Text(kPointGroup, "DESCRIPTIONS", descriptions);
        section.Text(kPointGroup, "UNITS", {"m"});
        section.Group(kAnalogGroup, "ANALOG", "Analog data parameters");
        section.Int16(kAnalogGroup, "USED", 0);
        section.Float(kAnalogGroup, "RATE", rate);
        section.Group(kTrialGroup, "TRIAL", "Trial parameters");
        section.Int16s(kTrialGroup, "ACTUAL_START_FIELD", {1, 0});
        section.Int16s(kTrialGroup, "ACTUAL_END_FIELD", lastField);
        section.Group(kEventGroup, "EVENT", "Event parameters");
        section.Int16(kEventGroup, "USED", 0);
        return section;
    };
    const std::size_t parameterBlocks = buildSection(0).Blocks();
    const auto dataStart = static_cast<std::int16_t>(2 + parameterBlocks);
    ParameterSection section = buildSection(dataStart);

    ByteWriter out;
    out.U8(2);
    out.U8(kKey);
    out.U16(static_cast<std::uint16_t>(points));
    out.U16(0);
    out.U16(1);
    out.U16(headerFrames);
    out.U16(headerFrames);
    out.F32(-1.0f);
    out.U16(static_cast<std::uint16_t>(dataStart));
    out.U16(1);
    out.F32(rate);
    std::uint8_t rest[kBlock - 24] = {};
    rest[kEventKeyOffset - 24] = kEventKey & 0xFF;
    rest[kEventKeyOffset - 24 + 1] = kEventKey >> 8;
    out.Bytes(rest, sizeof rest);
    const std::vector<std::uint8_t> parameters = section.Bytes();
    out.Bytes(parameters.data(), parameters.size());
    for (int f = 0; f < frames; ++f) {
        for (int p = 0; p < points; ++p) {
            // An invalid point: zero coordinates and a residual of −1.
            const Point3& w = doc_.worldFiltered[f][p];
            const bool missing = w == kMissingWorldPoint;
            out.F32(missing ? 0.0f : static_cast<float>(w.x));
            out.F32(missing ? 0.0f : static_cast<float>(w.y));
            out.F32(missing ? 0.0f : static_cast<float>(w.z));
            out.F32(missing ? -1.0f : 0.0f);
        }
    }
    return out.Take();
}

bool C3dExporter::Write(const std::string& path) const {
    if (!CheckFramePeriod(doc_)) return false;
    return WriteExportFile(doc_, path, Bytes(), "The C3D File could not be created!");
}

}  // namespace kadivo
