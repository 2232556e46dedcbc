// Fonts for the text pictures: faces found by family name through fontconfig, drawn with FreeType, kept open
// for the life of the process. One thread at a time draws: every use goes through a FontLock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace veltrano::output {

// One character of a sized font, already reduced to black and white.
struct Glyph {
    int Advance = 0; // pixels from this pen position to the next
    int Left = 0;    // ink's left edge relative to the pen
    int Top = 0;     // ink's top row above the baseline
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Ink; // Width × Height, row after row, 1 for black
};

// What the caller asks for; the family is a Windows font name such as "Arial" or "Courier New".
struct FontRequest {
    std::string Family;
    bool Bold = false;
    bool Italic = false;
    int PixelSize = 0; // the em square in pixels
};

// The face that stands in for a request, as the face names itself ("Liberation Sans", "Bold"), and whether
// bold or italic have to be made up because the family has no such face.
struct ResolvedFace {
    std::string Family;
    std::string Style;
    bool SynthesisedBold = false;
    bool SynthesisedItalic = false;
};

class FontCache;

// A face at one pixel size with its glyphs; characters the face lacks come from another installed face that
// has them. Valid while the FontLock that gave it is held.
class Font {
public:
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const Glyph& GlyphOf(char32_t character);
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int LineHeight() const { return ascent_ + descent_; }
    // Rows below (underline) and above (strikeout) the baseline where the lines start, and their thickness.
    int UnderlineOffset() const { return underlineOffset_; }
    int StrikeoutOffset() const { return strikeoutOffset_; }
    int LineThickness() const { return lineThickness_; }

private:
    friend class FontCache;
    struct Source;
    Font(FontCache& cache, const FontRequest& request);
    Source* SourceFor(char32_t character);

    FontCache& cache_;
    FontRequest request_;
    // The requested face first, then faces found for characters it lacks.
    std::vector<std::unique_ptr<Source>> sources_;
    std::unordered_map<char32_t, Glyph> glyphs_;
    int ascent_ = 0;
    int descent_ = 0;
    int underlineOffset_ = 0;
    int strikeoutOffset_ = 0;
    int lineThickness_ = 1;
};

// Holds the process's font lock; the fonts it hands out stay valid while it lives.
class FontLock {
public:
    FontLock();
    // The font for the request, or nullptr when no usable face is installed at all.
    Font* Find(const FontRequest& request);
    // The installed face a request resolves to; an empty family when nothing is installed.
    ResolvedFace Resolve(const FontRequest& request);

private:
    std::unique_lock<std::mutex> lock_;
    FontCache& cache_;
};

class Bitmap;

// The characters of a UTF-8 text; invalid bytes become U+FFFD.
std::u32string Characters(std::string_view utf8);

// Draws the characters black with the pen starting at x on the baseline row; returns where the pen ends.
int DrawGlyphs(Bitmap& target, Font& font, int x, int baseline, std::u32string_view characters);

// Pixels of the em square for a size in points at a resolution in dots per inch, as the Windows font mapper
// computes it (halves away from zero).
int PixelsFromPoints(double points, int dotsPerInch);

} // namespace veltrano::output
