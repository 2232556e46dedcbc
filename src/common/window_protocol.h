// The messages between the add-in and its window program, and their wire form.
//
// A frame is a 4-byte little-endian body length followed by the body: one byte of message type and the
// message's fields. Integers are 4-byte little-endian; a text or a byte block is its 4-byte length followed
// by its bytes. A body must be used up exactly by its fields. Texts are UTF-8; an invalid sequence read from
// the wire becomes U+FFFD, so a receiver can hand every text to a toolkit that insists on valid UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace veltrano::window_protocol {

inline constexpr std::uint32_t Version = 2;

// Limits that bound what one frame can make a receiver allocate. A document of several thousand lines drawn
// one byte per pixel stays well below the frame limit.
inline constexpr std::size_t MaxFrameBytes = 64u << 20;
inline constexpr std::uint32_t MaxPictureWidth = 8192;
inline constexpr std::size_t MaxPrinterModels = 1000;

inline constexpr std::size_t EscCodeCount = 21;

// The ESC code settings grid's "Функция" column, row by row in the codes' order.
inline constexpr std::array<std::string_view, EscCodeCount> EscFunctionTitles = {
    "Инициализация",
    "Локализация",
    "Отрезка",
    "Динамик",
    "Звонок/Ящик",
    "Жирный шрифт вкл.",
    "Жирный шрифт выкл.",
    "Курсив вкл.",
    "Курсив выкл.",
    "Подчеркивание вкл.",
    "Подчеркивание выкл.",
    "Инверсия вкл.",
    "Инверсия выкл.",
    "Шрифт1 вкл.",
    "Шрифт1 выкл.",
    "Шрифт2 вкл.",
    "Шрифт2 выкл.",
    "Шрифт3 вкл.",
    "Шрифт3 выкл.",
    "Произвольное формат. вкл.",
    "Произвольное формат. выкл.",
};

// The first entry of the model list: codes set by hand.
inline constexpr std::string_view ManualEntryName = "Ручная установка";

enum class MessageType : std::uint8_t {
    Ready = 1,
    Failed = 2,
    PreviewCreate = 3,
    PreviewPlace = 4,
    PreviewDocument = 5,
    PreviewDestroy = 6,
    EscSettingsShow = 7,
    LogViewerShow = 8,
    WindowClosed = 9,
    Quit = 10,
    EscSettingsClose = 11,
};

// A document as drawn by the canvas. One bit per pixel: rows of (Width + 7) / 8 bytes, the leftmost pixel in
// the highest bit, 1 for black. Eight bits per pixel: rows of Width bytes, each a grey level from 0 (black)
// to 255 (white).
struct Picture {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint8_t BitsPerPixel = 1;
    std::vector<std::uint8_t> Pixels;

    friend bool operator==(const Picture&, const Picture&) = default;
};

// Bytes a picture of the size and depth needs; 0 for a depth that is neither 1 nor 8.
std::size_t PictureBytes(std::uint32_t width, std::uint32_t height, std::uint8_t bitsPerPixel);
// A one-bit picture from one byte per pixel, row after row, non-zero for black.
Picture PackMonochrome(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& dots);
// Whether the pixel is black (one bit) or darker than mid-grey (eight bits); pixels outside read white.
bool IsDark(const Picture& picture, std::uint32_t x, std::uint32_t y);

// Program → add-in: the program is up and speaks this protocol version.
struct Ready {
    std::uint32_t ProtocolVersion = Version;
    friend bool operator==(const Ready&, const Ready&) = default;
};

// Program → add-in: the program could not start its windows and is about to end.
struct Failed {
    std::string Reason;
    friend bool operator==(const Failed&, const Failed&) = default;
};

// Creates the preview window, hidden, for the mode (ShowReceiptForm); an existing window stays as it is.
struct PreviewCreate {
    std::int32_t Mode = 0;
    friend bool operator==(const PreviewCreate&, const PreviewCreate&) = default;
};

// The preview window's look, from the device's line width.
struct PreviewPlace {
    std::int32_t Opacity = 255; // of 255
    std::int32_t SnapDistance = 0;
    std::int32_t ClientWidth = 0;
    std::int32_t MinWindowWidth = 0;
    std::int32_t ScreenHeightMargin = 0; // the client height is the screen height less this
    friend bool operator==(const PreviewPlace&, const PreviewPlace&) = default;
};

// A finished document for the preview list: caption ("Документ"), number ("№ документа") and its drawing.
struct PreviewDocument {
    std::string Caption;
    std::string Number;
    Picture Drawing;
    friend bool operator==(const PreviewDocument&, const PreviewDocument&) = default;
};

struct PreviewDestroy {
    friend bool operator==(const PreviewDestroy&, const PreviewDestroy&) = default;
};

// One printer model of the ESC code presets, its codes in the settings' order (ESCInit first).
struct PrinterModel {
    std::int32_t PrinterIndex = 0;
    std::string PrinterName;
    std::array<std::string, EscCodeCount> Codes;
    friend bool operator==(const PrinterModel&, const PrinterModel&) = default;
};

// Opens (or brings forward) the ESC code settings window with the models; the manual entry is the window's
// own.
struct EscSettingsShow {
    std::vector<PrinterModel> Models;
    friend bool operator==(const EscSettingsShow&, const EscSettingsShow&) = default;
};

// Opens the log viewer on the folder; answered by WindowClosed when the user closes it.
struct LogViewerShow {
    std::string Folder;
    friend bool operator==(const LogViewerShow&, const LogViewerShow&) = default;
};

// Program → add-in: the modal window opened by the message of this type has been closed.
struct WindowClosed {
    MessageType Request = MessageType::LogViewerShow;
    friend bool operator==(const WindowClosed&, const WindowClosed&) = default;
};

// Closes every window and ends the program.
struct Quit {
    friend bool operator==(const Quit&, const Quit&) = default;
};

// Closes the ESC code settings window if it is open: it does not outlive the driver object that opened it.
struct EscSettingsClose {
    friend bool operator==(const EscSettingsClose&, const EscSettingsClose&) = default;
};

using Message = std::variant<Ready, Failed, PreviewCreate, PreviewPlace, PreviewDocument, PreviewDestroy,
                             EscSettingsShow, LogViewerShow, WindowClosed, Quit, EscSettingsClose>;

MessageType TypeOf(const Message& message);

// The whole frame: length prefix and body.
std::string Encode(const Message& message);
// A frame's body (type byte and fields); nothing when it is not a well-formed message.
std::optional<Message> DecodeBody(std::string_view body);

// Cuts a byte stream into messages. Memory stays within one frame's limit beyond what the caller feeds.
class FrameReader {
public:
    enum class Status { Message, NeedMore, Broken };

    void Feed(std::string_view bytes);
    // The next whole message when one has arrived. Broken is final: after a frame with an impossible length
    // or a malformed body nothing in the stream can be trusted.
    Status Next(Message& message);

private:
    std::string buffer_;
    std::size_t start_ = 0;
    bool broken_ = false;
};

} // namespace veltrano::window_protocol
