#include "platform/linux/midi_soundfont.h"

#include <cstring>

namespace {

// Record sizes of the preset-data sub-chunks, in the order the format requires them.
enum Sub { Phdr, Pbag, Pmod, Pgen, Inst, Ibag, Imod, Igen, Shdr, SubCount };
constexpr const char* kSubIds[SubCount] = {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};
constexpr std::uint32_t kRecordSize[SubCount] = {38, 4, 10, 4, 22, 4, 10, 4, 46};
constexpr std::uint16_t kInstrumentGenerator = 41;
constexpr std::uint32_t kMaxPdtaBytes = 64u << 20;

std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

bool readAt(std::FILE* file, std::int64_t offset, void* buffer, std::size_t count) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(buffer, 1, count, file) == count;
}

struct Table {
    const std::uint8_t* data;
    std::uint32_t count;  // records, the terminal one included
    const std::uint8_t* at(std::uint32_t i) const { return data + static_cast<std::size_t>(i) * recordSize; }
    std::uint32_t recordSize;
};

struct Output {
    std::vector<std::uint8_t> sub[SubCount];
    std::uint32_t count(Sub s) const { return static_cast<std::uint32_t>(sub[s].size() / kRecordSize[s]); }
    std::uint8_t* add(Sub s) {
        sub[s].resize(sub[s].size() + kRecordSize[s]);
        return sub[s].data() + sub[s].size() - kRecordSize[s];
    }
    void copy(Sub s, const std::uint8_t* record) { std::memcpy(add(s), record, kRecordSize[s]); }
};

bool wanted(std::uint16_t bank, std::uint16_t program, const SoundFontPreset* keep, int keepCount) {
    for (int i = 0; i < keepCount; ++i) {
        if (keep[i].bank == bank && keep[i].program == program) {
            return true;
        }
    }
    return false;
}

// Copies the zones (bags) first..last-1 of one preset or instrument with their modulators and
// generators; a preset's instrument generators are renumbered through instrumentMap.
bool copyZones(const Table* in, Output& out, Sub bag, Sub mod, Sub gen, std::uint32_t first, std::uint32_t last,
               std::vector<int>* instrumentMap, std::vector<std::uint32_t>* instrumentOrder) {
    if (first > last || last >= in[bag].count) {
        return false;
    }
    for (std::uint32_t b = first; b < last; ++b) {
        const std::uint32_t genFirst = u16(in[bag].at(b));
        const std::uint32_t genLast = u16(in[bag].at(b + 1));
        const std::uint32_t modFirst = u16(in[bag].at(b) + 2);
        const std::uint32_t modLast = u16(in[bag].at(b + 1) + 2);
        if (genFirst > genLast || genLast >= in[gen].count || modFirst > modLast || modLast >= in[mod].count) {
            return false;
        }
        std::uint8_t* zone = out.add(bag);
        put16(zone, out.count(gen));
        put16(zone + 2, out.count(mod));
        for (std::uint32_t m = modFirst; m < modLast; ++m) {
            out.copy(mod, in[mod].at(m));
        }
        for (std::uint32_t g = genFirst; g < genLast; ++g) {
            std::uint8_t* generator = out.add(gen);
            std::memcpy(generator, in[gen].at(g), kRecordSize[gen]);
            if (instrumentMap != nullptr && u16(generator) == kInstrumentGenerator) {
                const std::uint32_t instrument = u16(generator + 2);
                if (instrument + 1 >= in[Inst].count) {
                    return false;
                }
                int& mapped = (*instrumentMap)[instrument];
                if (mapped < 0) {
                    mapped = static_cast<int>(instrumentOrder->size());
                    instrumentOrder->push_back(instrument);
                }
                put16(generator + 2, static_cast<std::uint32_t>(mapped));
            }
        }
    }
    return true;
}

// The terminal records that close each list: the last header points one past the last zone.
void closeLists(Output& out, Sub header, std::uint32_t bagField, Sub bag, Sub mod, Sub gen, const char* name) {
    std::uint8_t* last = out.add(header);
    std::memset(last, 0, kRecordSize[header]);
    std::memcpy(last, name, std::strlen(name));
    put16(last + bagField, out.count(bag));
    std::uint8_t* zone = out.add(bag);
    put16(zone, out.count(gen));
    put16(zone + 2, out.count(mod));
    std::memset(out.add(mod), 0, kRecordSize[mod]);
    std::memset(out.add(gen), 0, kRecordSize[gen]);
}

bool buildPdta(const std::vector<std::uint8_t>& pdta, const SoundFontPreset* keep, int keepCount,
               SoundFontSubset& result) {
    Table in[SubCount] = {};
    std::size_t at = 0;
    while (at + 8 <= pdta.size()) {
        const std::uint32_t size = u32(&pdta[at + 4]);
        if (size > pdta.size() - at - 8) {
            return false;
        }
        for (int s = 0; s < SubCount; ++s) {
            if (std::memcmp(&pdta[at], kSubIds[s], 4) == 0) {
                in[s] = Table{&pdta[at + 8], size / kRecordSize[s], kRecordSize[s]};
                if (size % kRecordSize[s] != 0) {
                    return false;
                }
            }
        }
        at += 8 + size + (size & 1);
    }
    for (const Table& t : in) {
        if (t.count < 1 || t.count > 0xFFFF) {
            return false;
        }
    }
    Output out;
    std::vector<int> instrumentMap(in[Inst].count, -1);
    std::vector<std::uint32_t> instrumentOrder;
    int kept = 0;
    for (std::uint32_t p = 0; p + 1 < in[Phdr].count; ++p) {
        const std::uint8_t* header = in[Phdr].at(p);
        if (!wanted(u16(header + 22), u16(header + 20), keep, keepCount)) {
            continue;
        }
        std::uint8_t* copy = out.add(Phdr);
        std::memcpy(copy, header, kRecordSize[Phdr]);
        put16(copy + 24, out.count(Pbag));
        if (!copyZones(in, out, Pbag, Pmod, Pgen, u16(header + 24), u16(in[Phdr].at(p + 1) + 24), &instrumentMap,
                       &instrumentOrder)) {
            return false;
        }
        ++kept;
    }
    closeLists(out, Phdr, 24, Pbag, Pmod, Pgen, "EOP");
    for (std::uint32_t instrument : instrumentOrder) {
        const std::uint8_t* header = in[Inst].at(instrument);
        std::uint8_t* copy = out.add(Inst);
        std::memcpy(copy, header, kRecordSize[Inst]);
        put16(copy + 20, out.count(Ibag));
        if (!copyZones(in, out, Ibag, Imod, Igen, u16(header + 20), u16(in[Inst].at(instrument + 1) + 20), nullptr,
                       nullptr)) {
            return false;
        }
    }
    closeLists(out, Inst, 20, Ibag, Imod, Igen, "EOI");
    out.sub[Shdr].assign(in[Shdr].data, in[Shdr].data + static_cast<std::size_t>(in[Shdr].count) * kRecordSize[Shdr]);

    std::size_t total = 12;
    for (const auto& s : out.sub) {
        total += 8 + s.size();
    }
    result.pdta.assign(total, 0);
    std::uint8_t* p = result.pdta.data();
    std::memcpy(p, "LIST", 4);
    put32(p + 4, static_cast<std::uint32_t>(total - 8));
    std::memcpy(p + 8, "pdta", 4);
    p += 12;
    for (int s = 0; s < SubCount; ++s) {
        std::memcpy(p, kSubIds[s], 4);
        put32(p + 4, static_cast<std::uint32_t>(out.sub[s].size()));
        if (!out.sub[s].empty()) {
            std::memcpy(p + 8, out.sub[s].data(), out.sub[s].size());
        }
        p += 8 + out.sub[s].size();
    }
    result.presetCount = kept;
    return true;
}

}  // namespace

bool buildSoundFontSubset(std::FILE* file, const SoundFontPreset* keep, int keepCount, SoundFontSubset& out) {
    std::uint8_t header[12];
    if (file == nullptr || !readAt(file, 0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "sfbk", 4) != 0) {
        return false;
    }
    const std::int64_t end = 8 + static_cast<std::int64_t>(u32(header + 4));
    // The top-level lists must come as INFO, sdta, pdta: everything before pdta is kept as it is.
    std::int64_t at = 12;
    int seen = 0;
    std::int64_t pdtaAt = -1;
    std::uint32_t pdtaSize = 0;
    while (at + 12 <= end && pdtaAt < 0) {
        std::uint8_t chunk[12];
        if (!readAt(file, at, chunk, sizeof chunk)) {
            return false;
        }
        const std::uint32_t size = u32(chunk + 4);
        if (std::memcmp(chunk, "LIST", 4) == 0) {
            if (std::memcmp(chunk + 8, "INFO", 4) == 0 && seen == 0) {
                seen = 1;
            } else if (std::memcmp(chunk + 8, "sdta", 4) == 0 && seen == 1) {
                seen = 2;
            } else if (std::memcmp(chunk + 8, "pdta", 4) == 0 && seen == 2) {
                pdtaAt = at;
                pdtaSize = size;
            } else {
                return false;
            }
        }
        at += 8 + static_cast<std::int64_t>(size) + (size & 1);
    }
    if (pdtaAt < 0 || pdtaSize < 4 || pdtaSize > kMaxPdtaBytes) {
        return false;
    }
    std::vector<std::uint8_t> pdta(pdtaSize - 4);
    if (!readAt(file, pdtaAt + 12, pdta.data(), pdta.size()) || !buildPdta(pdta, keep, keepCount, out)) {
        return false;
    }
    out.bodyEnd = pdtaAt;
    std::memcpy(out.head, "RIFF", 4);
    put32(out.head + 4, static_cast<std::uint32_t>(soundFontSubsetSize(out) - 8));
    std::memcpy(out.head + 8, "sfbk", 4);
    return true;
}

std::int64_t soundFontSubsetSize(const SoundFontSubset& subset) {
    return subset.bodyEnd + static_cast<std::int64_t>(subset.pdta.size());
}

bool readSoundFontSubset(std::FILE* original, const SoundFontSubset& subset, std::int64_t offset, void* buffer,
                         std::int64_t count) {
    if (offset < 0 || count < 0 || count > soundFontSubsetSize(subset) - offset) {
        return false;
    }
    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        std::int64_t n = 0;
        if (offset < 12) {
            n = count < 12 - offset ? count : 12 - offset;
            std::memcpy(out, subset.head + offset, static_cast<std::size_t>(n));
        } else if (offset < subset.bodyEnd) {
            n = count < subset.bodyEnd - offset ? count : subset.bodyEnd - offset;
            if (!readAt(original, offset, out, static_cast<std::size_t>(n))) {
                return false;
            }
        } else {
            n = count;
            std::memcpy(out, subset.pdta.data() + (offset - subset.bodyEnd), static_cast<std::size_t>(n));
        }
        offset += n;
        out += n;
        count -= n;
    }
    return true;
}
