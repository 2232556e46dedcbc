#include "common/window_protocol.h"

#include "common/text.h"

#include <limits>
#include <type_traits>

namespace veltrano::window_protocol {
namespace {

class Writer {
public:
    void U8(std::uint8_t value) { out_ += static_cast<char>(value); }
    void U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            out_ += static_cast<char>((value >> shift) & 0xFF);
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void Bytes(std::string_view bytes) {
        U32(static_cast<std::uint32_t>(bytes.size()));
        out_ += bytes;
    }
    void Bytes(const std::vector<std::uint8_t>& bytes) {
        Bytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    std::string Frame() && {
        std::string frame;
        frame.reserve(4 + out_.size());
        const auto length = static_cast<std::uint32_t>(out_.size());
        for (int shift = 0; shift < 32; shift += 8)
            frame += static_cast<char>((length >> shift) & 0xFF);
        frame += out_;
        return frame;
    }

private:
    std::string out_;
};

// Reads fields from a body; every read past the end, and every length beyond what is left, fails the reader.
class Reader {
public:
    explicit Reader(std::string_view body) : body_(body) {}

    bool Ok() const { return ok_; }
    bool AtEnd() const { return ok_ && pos_ == body_.size(); }

    std::uint8_t U8() {
        if (!Need(1))
            return 0;
        return static_cast<std::uint8_t>(body_[pos_++]);
    }
    std::uint32_t U32() {
        if (!Need(4))
            return 0;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(body_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return value;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::string_view Bytes() {
        const std::uint32_t length = U32();
        if (!Need(length))
            return {};
        const std::string_view bytes = body_.substr(pos_, length);
        pos_ += length;
        return bytes;
    }
    std::string Text() { return text::Utf16ToUtf8(text::Utf8ToUtf16(Bytes())); }
    void Fail() { ok_ = false; }

private:
    bool Need(std::size_t count) {
        if (ok_ && body_.size() - pos_ < count)
            ok_ = false;
        return ok_;
    }

    std::string_view body_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

void Write(Writer& w, const Picture& picture) {
    w.U32(picture.Width);
    w.U32(picture.Height);
    w.U8(picture.BitsPerPixel);
    w.Bytes(picture.Pixels);
}

void Write(Writer& w, const Message& message) {
    w.U8(static_cast<std::uint8_t>(TypeOf(message)));
    std::visit(
        [&w](const auto& m) {
            using M = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<M, Ready>) {
                w.U32(m.ProtocolVersion);
            } else if constexpr (std::is_same_v<M, Failed>) {
                w.Bytes(m.Reason);
            } else if constexpr (std::is_same_v<M, PreviewCreate>) {
                w.I32(m.Mode);
            } else if constexpr (std::is_same_v<M, PreviewPlace>) {
                w.I32(m.Opacity);
                w.I32(m.SnapDistance);
                w.I32(m.ClientWidth);
                w.I32(m.MinWindowWidth);
                w.I32(m.ScreenHeightMargin);
            } else if constexpr (std::is_same_v<M, PreviewDocument>) {
                w.Bytes(m.Caption);
                w.Bytes(m.Number);
                Write(w, m.Drawing);
            } else if constexpr (std::is_same_v<M, EscSettingsShow>) {
                w.U32(static_cast<std::uint32_t>(m.Models.size()));
                for (const PrinterModel& model : m.Models) {
                    w.I32(model.PrinterIndex);
                    w.Bytes(model.PrinterName);
                    for (const std::string& code : model.Codes)
                        w.Bytes(code);
                }
            } else if constexpr (std::is_same_v<M, LogViewerShow>) {
                w.Bytes(m.Folder);
            } else if constexpr (std::is_same_v<M, WindowClosed>) {
                w.U8(static_cast<std::uint8_t>(m.Request));
            }
        },
        message);
}

std::optional<Picture> ReadPicture(Reader& r) {
    Picture picture;
    picture.Width = r.U32();
    picture.Height = r.U32();
    picture.BitsPerPixel = r.U8();
    const std::string_view pixels = r.Bytes();
    if (!r.Ok() || picture.Width > MaxPictureWidth ||
        pixels.size() != PictureBytes(picture.Width, picture.Height, picture.BitsPerPixel))
        return std::nullopt;
    // An empty picture of a known depth is a document with nothing drawn; any other depth is refused.
    if (picture.BitsPerPixel != 1 && picture.BitsPerPixel != 8)
        return std::nullopt;
    picture.Pixels.assign(pixels.begin(), pixels.end());
    return picture;
}

bool KnownType(std::uint8_t type) {
    return type >= static_cast<std::uint8_t>(MessageType::Ready) &&
           type <= static_cast<std::uint8_t>(MessageType::EscSettingsClose);
}

std::optional<Message> ReadMessage(Reader& r) {
    const std::uint8_t type = r.U8();
    if (!r.Ok() || !KnownType(type))
        return std::nullopt;
    switch (static_cast<MessageType>(type)) {
    case MessageType::Ready:
        return Ready{r.U32()};
    case MessageType::Failed:
        return Failed{r.Text()};
    case MessageType::PreviewCreate:
        return PreviewCreate{r.I32()};
    case MessageType::PreviewPlace: {
        PreviewPlace m;
        m.Opacity = r.I32();
        m.SnapDistance = r.I32();
        m.ClientWidth = r.I32();
        m.MinWindowWidth = r.I32();
        m.ScreenHeightMargin = r.I32();
        return m;
    }
    case MessageType::PreviewDocument: {
        PreviewDocument m;
        m.Caption = r.Text();
        m.Number = r.Text();
        std::optional<Picture> picture = ReadPicture(r);
        if (!picture)
            return std::nullopt;
        m.Drawing = std::move(*picture);
        return m;
    }
    case MessageType::PreviewDestroy:
        return PreviewDestroy{};
    case MessageType::EscSettingsShow: {
        const std::uint32_t count = r.U32();
        if (count > MaxPrinterModels)
            return std::nullopt;
        EscSettingsShow m;
        for (std::uint32_t i = 0; i < count && r.Ok(); ++i) {
            PrinterModel model;
            model.PrinterIndex = r.I32();
            model.PrinterName = r.Text();
            for (std::string& code : model.Codes)
                code = r.Text();
            m.Models.push_back(std::move(model));
        }
        return m;
    }
    case MessageType::LogViewerShow:
        return LogViewerShow{r.Text()};
    case MessageType::WindowClosed: {
        const std::uint8_t request = r.U8();
        if (!KnownType(request))
            return std::nullopt;
        return WindowClosed{static_cast<MessageType>(request)};
    }
    case MessageType::Quit:
        return Quit{};
    case MessageType::EscSettingsClose:
        return EscSettingsClose{};
    }
    return std::nullopt;
}

std::uint32_t ReadLength(std::string_view bytes) {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return length;
}

} // namespace

std::size_t PictureBytes(std::uint32_t width, std::uint32_t height, std::uint8_t bitsPerPixel) {
    std::uint64_t stride = 0;
    if (bitsPerPixel == 1)
        stride = (static_cast<std::uint64_t>(width) + 7) / 8;
    else if (bitsPerPixel == 8)
        stride = width;
    // Width is at most 32 bits and height 32 bits, so the product fits in 64 bits.
    const std::uint64_t bytes = stride * height;
    return bytes > std::numeric_limits<std::size_t>::max() ? 0 : static_cast<std::size_t>(bytes);
}

Picture PackMonochrome(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& dots) {
    Picture picture{width, height, 1, std::vector<std::uint8_t>(PictureBytes(width, height, 1), 0)};
    const std::size_t stride = (static_cast<std::size_t>(width) + 7) / 8;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * width + x;
            if (index < dots.size() && dots[index] != 0)
                picture.Pixels[y * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    return picture;
}

bool IsDark(const Picture& picture, std::uint32_t x, std::uint32_t y) {
    if (x >= picture.Width || y >= picture.Height)
        return false;
    if (picture.BitsPerPixel == 1) {
        const std::size_t stride = (static_cast<std::size_t>(picture.Width) + 7) / 8;
        const std::size_t index = y * stride + x / 8;
        return index < picture.Pixels.size() && (picture.Pixels[index] & (0x80 >> (x % 8))) != 0;
    }
    const std::size_t index = static_cast<std::size_t>(y) * picture.Width + x;
    return index < picture.Pixels.size() && picture.Pixels[index] < 128;
}

MessageType TypeOf(const Message& message) {
    return static_cast<MessageType>(message.index() + 1);
}

std::string Encode(const Message& message) {
    Writer w;
    Write(w, message);
    return std::move(w).Frame();
}

std::optional<Message> DecodeBody(std::string_view body) {
    Reader r(body);
    std::optional<Message> message = ReadMessage(r);
    if (!message || !r.AtEnd())
        return std::nullopt;
    return message;
}

void FrameReader::Feed(std::string_view bytes) {
    if (broken_)
        return;
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_ += bytes;
}

FrameReader::Status FrameReader::Next(Message& message) {
    if (broken_)
        return Status::Broken;
    const std::string_view pending = std::string_view(buffer_).substr(start_);
    if (pending.size() < 4)
        return Status::NeedMore;
    const std::uint32_t length = ReadLength(pending);
    if (length == 0 || length > MaxFrameBytes) {
        broken_ = true;
        buffer_.clear();
        return Status::Broken;
    }
    if (pending.size() - 4 < length)
        return Status::NeedMore;
    std::optional<Message> decoded = DecodeBody(pending.substr(4, length));
    if (!decoded) {
        broken_ = true;
        buffer_.clear();
        return Status::Broken;
    }
    start_ += 4 + length;
    message = std::move(*decoded);
    return Status::Message;
}

} // namespace veltrano::window_protocol
