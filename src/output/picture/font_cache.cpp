#include "output/picture/font_cache.h"

#include "common/text.h"
#include "output/picture/bitmap.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace veltrano::output {
namespace {

// The Windows font names the receipt settings offer, with installed faces of the same metrics or look that
// stand in for them, best first. fontconfig's own aliases cover most of them; the list keeps the choice the
// same on machines whose configuration differs.
struct Substitute {
    std::string_view Windows;
    std::string_view Stand[2];
};
constexpr Substitute substitutes[] = {
    {"Arial", {"Liberation Sans", "Arimo"}},
    {"Arial Narrow", {"Liberation Sans Narrow", "Liberation Sans"}},
    {"Times New Roman", {"Liberation Serif", "Tinos"}},
    {"Courier New", {"Liberation Mono", "Cousine"}},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
    {"Verdana", {"DejaVu Sans", "Liberation Sans"}},
    {"MS Sans Serif", {"DejaVu Sans", "Liberation Sans"}},
    {"Century", {"DejaVu Serif", "Liberation Serif"}},
    {"Terminal", {"DejaVu Sans Mono", "Liberation Mono"}},
};

// Fonts kept before the cache starts afresh; a receipt uses a handful.
constexpr std::size_t MaxFonts = 64;

// A pattern for the request, completed by the configuration as fontconfig's matching expects.
FcPattern* PatternFor(FcConfig* config, const FontRequest& request) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr)
        return nullptr;
    auto addFamily = [pattern](std::string_view family) {
        const std::string name(family);
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    };
    if (!request.Family.empty())
        addFamily(request.Family);
    for (const auto& substitute : substitutes)
        if (text::EqualsNoCase(substitute.Windows, request.Family))
            for (std::string_view stand : substitute.Stand)
                addFamily(stand);
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

int Scaled(long fontUnits, int pixelSize, int unitsPerEm) {
    return static_cast<int>(std::lround(static_cast<double>(fontUnits) * pixelSize / unitsPerEm));
}

int CeilScaled(long fontUnits, int pixelSize, int unitsPerEm) {
    return static_cast<int>(std::ceil(static_cast<double>(fontUnits) * pixelSize / unitsPerEm));
}

} // namespace

struct FaceEntry {
    FT_Face Face = nullptr;
    bool Bold = false;
    bool Italic = false;
};

class FontCache {
public:
    FontCache() {
        if (FT_Init_FreeType(&library_) != 0)
            library_ = nullptr;
        // A configuration of our own, so that the host's use of fontconfig and ours never meet.
        config_ = FcInitLoadConfigAndFonts();
    }
    ~FontCache() {
        fonts_.clear();
        for (auto& [key, set] : sorted_)
            if (set != nullptr)
                FcFontSetDestroy(set);
        for (auto& [key, face] : faces_)
            if (face.Face != nullptr)
                FT_Done_Face(face.Face);
        if (library_ != nullptr)
            FT_Done_FreeType(library_);
        if (config_ != nullptr)
            FcConfigDestroy(config_);
    }
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    std::mutex& Mutex() { return mutex_; }

    void Trim() {
        if (fonts_.size() > MaxFonts)
            fonts_.clear();
    }

    Font* Find(const FontRequest& request) {
        const auto key = std::make_tuple(request.Family, request.Bold, request.Italic, request.PixelSize);
        auto found = fonts_.find(key);
        if (found == fonts_.end())
            found = fonts_.emplace(key, std::unique_ptr<Font>(new Font(*this, request))).first;
        return found->second->sources_.empty() ? nullptr : found->second.get();
    }

    // The best face for the request.
    FaceEntry* Match(const FontRequest& request) {
        if (library_ == nullptr || config_ == nullptr)
            return nullptr;
        FcPattern* pattern = PatternFor(config_, request);
        if (pattern == nullptr)
            return nullptr;
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config_, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr)
            return nullptr;
        FaceEntry* face = FaceOf(match);
        FcPatternDestroy(match);
        return face;
    }

    // The best face for the request among those that have the character.
    FaceEntry* MatchWith(const FontRequest& request, char32_t character) {
        if (library_ == nullptr || config_ == nullptr)
            return nullptr;
        const auto key = std::make_tuple(request.Family, request.Bold, request.Italic);
        auto found = sorted_.find(key);
        if (found == sorted_.end()) {
            FcFontSet* set = nullptr;
            if (FcPattern* pattern = PatternFor(config_, request)) {
                FcResult result = FcResultNoMatch;
                set = FcFontSort(config_, pattern, FcTrue, nullptr, &result);
                FcPatternDestroy(pattern);
            }
            found = sorted_.emplace(key, set).first;
        }
        if (found->second == nullptr)
            return nullptr;
        for (int i = 0; i < found->second->nfont; ++i) {
            FcPattern* candidate = found->second->fonts[i];
            FcCharSet* characters = nullptr;
            FcBool scalable = FcFalse;
            if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &characters) == FcResultMatch &&
                FcCharSetHasChar(characters, character) &&
                FcPatternGetBool(candidate, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable)
                if (FaceEntry* face = FaceOf(candidate))
                    return face;
        }
        return nullptr;
    }

private:
    FaceEntry* FaceOf(FcPattern* pattern) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch)
            return nullptr;
        FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
        const auto key = std::make_pair(std::string(reinterpret_cast<const char*>(file)), index);
        auto found = faces_.find(key);
        if (found == faces_.end()) {
            FaceEntry entry;
            if (FT_New_Face(library_, key.first.c_str(), index, &entry.Face) != 0) {
                entry.Face = nullptr;
            } else if (!FT_IS_SCALABLE(entry.Face)) {
                FT_Done_Face(entry.Face);
                entry.Face = nullptr;
            }
            if (entry.Face != nullptr) {
                // The face's own tables say what it is; a matched pattern may carry the configuration's
                // synthetic weight and slant instead.
                const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(entry.Face, FT_SFNT_OS2));
                entry.Bold = (entry.Face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
                             (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600);
                entry.Italic = (entry.Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
            }
            found = faces_.emplace(key, entry).first;
        }
        return found->second.Face == nullptr ? nullptr : &found->second;
    }

    std::mutex mutex_;
    FT_Library library_ = nullptr;
    FcConfig* config_ = nullptr;
    std::map<std::pair<std::string, int>, FaceEntry> faces_;
    std::map<std::tuple<std::string, bool, bool>, FcFontSet*> sorted_;
    std::map<std::tuple<std::string, bool, bool, int>, std::unique_ptr<Font>> fonts_;
};

namespace {

FontCache& Cache() {
    static FontCache cache;
    return cache;
}

} // namespace

struct Font::Source {
    Source(FaceEntry& face, const FontRequest& request)
        : Face(face), Embolden(request.Bold && !face.Bold), Oblique(request.Italic && !face.Italic) {
        if (FT_New_Size(face.Face, &Size) != 0) {
            Size = nullptr;
            return;
        }
        if (FT_Activate_Size(Size) != 0 ||
            FT_Set_Pixel_Sizes(face.Face, 0, static_cast<FT_UInt>(std::max(request.PixelSize, 1))) != 0) {
            FT_Done_Size(Size);
            Size = nullptr;
        }
    }
    ~Source() {
        if (Size != nullptr)
            FT_Done_Size(Size);
    }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    FaceEntry& Face;
    FT_Size Size = nullptr;
    bool Embolden;
    bool Oblique;
};

Font::Font(FontCache& cache, const FontRequest& request) : cache_(cache), request_(request) {
    request_.PixelSize = std::max(request_.PixelSize, 1);
    FaceEntry* face = cache_.Match(request_);
    if (face == nullptr)
        return;
    auto source = std::make_unique<Source>(*face, request_);
    if (source->Size == nullptr)
        return;
    sources_.push_back(std::move(source));

    // Line metrics as Windows takes them: the OS/2 table's Windows ascent and descent when there is one.
    const FT_Face ft = face->Face;
    const int px = request_.PixelSize, em = std::max<int>(ft->units_per_EM, 1);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent_ = CeilScaled(os2->usWinAscent, px, em);
        descent_ = CeilScaled(os2->usWinDescent, px, em);
    } else {
        ascent_ = CeilScaled(ft->ascender, px, em);
        descent_ = CeilScaled(-ft->descender, px, em);
    }
    lineThickness_ = std::max(1, Scaled(ft->underline_thickness, px, em));
    underlineOffset_ = std::clamp(Scaled(-ft->underline_position, px, em) - lineThickness_ / 2, 1,
                                  std::max(1, descent_ - lineThickness_));
    strikeoutOffset_ = os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0
                           ? Scaled(os2->yStrikeoutPosition, px, em)
                           : ascent_ * 3 / 10;
}

Font::~Font() = default;

Font::Source* Font::SourceFor(char32_t character) {
    Source* primary = sources_.front().get();
    if (FT_Get_Char_Index(primary->Face.Face, character) != 0)
        return primary;
    FaceEntry* face = cache_.MatchWith(request_, character);
    if (face == nullptr)
        return primary;
    for (const auto& source : sources_)
        if (&source->Face == face)
            return source.get();
    auto source = std::make_unique<Source>(*face, request_);
    if (source->Size == nullptr)
        return primary;
    sources_.push_back(std::move(source));
    return sources_.back().get();
}

const Glyph& Font::GlyphOf(char32_t character) {
    auto found = glyphs_.find(character);
    if (found != glyphs_.end())
        return found->second;
    Glyph& glyph = glyphs_[character];
    Source& source = *SourceFor(character);
    const FT_Face face = source.Face.Face;
    if (FT_Activate_Size(source.Size) != 0)
        return glyph;
    // An oblique made up for a family without italics leans about 12 degrees, like the Windows font mapper's.
    FT_Matrix shear{0x10000, source.Oblique ? 0x3800 : 0, 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, character), FT_LOAD_NO_BITMAP) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    FT_Pos advance = slot->advance.x;
    if (source.Embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_EmboldenXY(&slot->outline, strength, 0);
        advance += strength;
    }
    glyph.Advance = static_cast<int>((advance + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Height = static_cast<int>(bitmap.rows);
    glyph.Ink.assign(static_cast<std::size_t>(glyph.Width) * static_cast<std::size_t>(glyph.Height), 0);
    for (int y = 0; y < glyph.Height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.Width; ++x) {
            const bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x / 8] >> (7 - x % 8)) & 1) != 0
                                                                     : row[x] >= 128;
            glyph.Ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.Width) +
                      static_cast<std::size_t>(x)] = ink ? 1 : 0;
        }
    }
    return glyph;
}

FontLock::FontLock() : lock_(Cache().Mutex()), cache_(Cache()) {
    cache_.Trim();
}

Font* FontLock::Find(const FontRequest& request) {
    return cache_.Find(request);
}

ResolvedFace FontLock::Resolve(const FontRequest& request) {
    ResolvedFace resolved;
    if (const FaceEntry* face = cache_.Match(request)) {
        resolved.Family = face->Face->family_name != nullptr ? face->Face->family_name : "";
        resolved.Style = face->Face->style_name != nullptr ? face->Face->style_name : "";
        resolved.SynthesisedBold = request.Bold && !face->Bold;
        resolved.SynthesisedItalic = request.Italic && !face->Italic;
    }
    return resolved;
}

std::u32string Characters(std::string_view utf8) {
    const std::u16string units = text::Utf8ToUtf16(utf8);
    std::u32string characters;
    characters.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            characters += static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            characters += static_cast<char32_t>(unit);
        }
    }
    return characters;
}

int DrawGlyphs(Bitmap& target, Font& font, int x, int baseline, std::u32string_view characters) {
    for (char32_t character : characters) {
        const Glyph& glyph = font.GlyphOf(character);
        const int left = x + glyph.Left, top = baseline - glyph.Top;
        for (int gy = 0; gy < glyph.Height; ++gy)
            for (int gx = 0; gx < glyph.Width; ++gx)
                if (glyph.Ink[static_cast<std::size_t>(gy) * static_cast<std::size_t>(glyph.Width) +
                              static_cast<std::size_t>(gx)] != 0)
                    target.Set(left + gx, top + gy, true);
        x += glyph.Advance;
    }
    return x;
}

int PixelsFromPoints(double points, int dotsPerInch) {
    return static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

} // namespace veltrano::output
