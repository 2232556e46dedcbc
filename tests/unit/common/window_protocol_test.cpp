#include "common/window_protocol.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

namespace veltrano::window_protocol {
namespace {

using namespace std::string_literals;

PrinterModel StarLine() {
    PrinterModel model;
    model.PrinterIndex = 19;
    model.PrinterName = "Star TSP100 (Star Line)";
    model.Codes[1] = "27+29+116+10";
    model.Codes[2] = "27+100+1";
    model.Codes[20] = "последний";
    return model;
}

std::vector<Message> EveryKind() {
    return {
        Ready{},
        Failed{"Не удалось открыть дисплей :7"},
        PreviewCreate{3},
        PreviewPlace{235, 30, 268, 293, 200},
        PreviewDocument{"Кассовый чек", "17", PackMonochrome(3, 2, {1, 0, 1, 0, 1, 0})},
        PreviewDocument{"Открытие смены", "", Picture{2, 2, 8, {0, 255, 128, 7}}},
        PreviewDocument{"Пустой", "0", Picture{0, 0, 1, {}}},
        PreviewDestroy{},
        EscSettingsShow{{StarLine(), PrinterModel{-1, "", {}}}},
        EscSettingsShow{},
        LogViewerShow{"/tmp/журналы/"},
        WindowClosed{MessageType::LogViewerShow},
        Quit{},
        EscSettingsClose{},
    };
}

std::vector<Message> ReadAll(FrameReader& reader) {
    std::vector<Message> messages;
    Message message;
    while (reader.Next(message) == FrameReader::Status::Message)
        messages.push_back(message);
    return messages;
}

TEST(WindowProtocol, EveryMessageSurvivesTheRoundTrip) {
    for (const Message& message : EveryKind()) {
        const std::string frame = Encode(message);
        const std::optional<Message> decoded = DecodeBody(std::string_view(frame).substr(4));
        ASSERT_TRUE(decoded) << static_cast<int>(TypeOf(message));
        EXPECT_EQ(*decoded, message);
    }
}

TEST(WindowProtocol, FrameIsLengthTypeAndLittleEndianFields) {
    EXPECT_EQ(Encode(PreviewCreate{0x01020304}), "\x05\x00\x00\x00\x03\x04\x03\x02\x01"s);
    EXPECT_EQ(Encode(LogViewerShow{"ab"}), "\x07\x00\x00\x00\x08\x02\x00\x00\x00"
                                           "ab"s);
    EXPECT_EQ(Encode(Quit{}), "\x01\x00\x00\x00\x0a"s);
}

TEST(WindowProtocol, StreamFedByteByByteGivesEveryMessageInOrder) {
    std::string stream;
    for (const Message& message : EveryKind())
        stream += Encode(message);
    FrameReader reader;
    std::vector<Message> received;
    for (char byte : stream) {
        reader.Feed(std::string_view(&byte, 1));
        for (Message& m : ReadAll(reader))
            received.push_back(std::move(m));
    }
    EXPECT_EQ(received, EveryKind());
}

TEST(WindowProtocol, TruncatedFramesWaitAndTruncatedBodiesAreRefused) {
    for (const Message& message : EveryKind()) {
        const std::string frame = Encode(message);
        for (std::size_t cut = 0; cut < frame.size(); ++cut) {
            FrameReader reader;
            reader.Feed(std::string_view(frame).substr(0, cut));
            Message out;
            EXPECT_EQ(reader.Next(out), FrameReader::Status::NeedMore) << cut;
            if (cut > 4) {
                EXPECT_FALSE(DecodeBody(std::string_view(frame).substr(4, cut - 4))) << cut;
            }
        }
    }
}

struct HostileCase {
    const char* what;
    std::string body;
};

class HostileBody : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileBody, IsRefusedAndBreaksTheStream) {
    const std::string& body = GetParam().body;
    EXPECT_FALSE(DecodeBody(body));
    std::string frame;
    for (int shift = 0; shift < 32; shift += 8)
        frame += static_cast<char>((body.size() >> shift) & 0xFF);
    FrameReader reader;
    reader.Feed(frame + body + Encode(Quit{}));
    Message out;
    EXPECT_EQ(reader.Next(out), FrameReader::Status::Broken);
    // Nothing after a broken frame is believed, not even a well-formed message.
    reader.Feed(Encode(Quit{}));
    EXPECT_EQ(reader.Next(out), FrameReader::Status::Broken);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileBody,
    ::testing::Values(
        HostileCase{"unknown type", "\x00"s}, HostileCase{"type past the last", "\x0c"s},
        HostileCase{"trailing byte", "\x0a\x00"s}, HostileCase{"short integer", "\x03\x01\x02"s},
        HostileCase{"text longer than the body", "\x08\xff\xff\xff\xff"
                                                 "abc"s},
        HostileCase{"pixels fewer than the size",
                    "\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                    "\x08\x00\x00\x00\x02\x00\x00\x00\x01\x01\x00\x00\x00\xff"s},
        HostileCase{"pixels more than the size",
                    "\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                    "\x01\x00\x00\x00\x01\x00\x00\x00\x01\x02\x00\x00\x00\xff\xff"s},
        HostileCase{"picture too wide", "\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                                        "\x01\x20\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00"s},
        HostileCase{"height that overflows a 32-bit product", "\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                                                              "\x00\x20\x00\x00\xff\xff\xff\xff\x08"
                                                              "\x00\x00\x00\x00"s},
        HostileCase{"depth neither 1 nor 8", "\x05\x00\x00\x00\x00\x00\x00\x00\x00"
                                             "\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00"s},
        HostileCase{"more models than allowed", "\x07\xe9\x03\x00\x00"s},
        HostileCase{"models announced but missing", "\x07\x05\x00\x00\x00\x01\x00\x00\x00"s},
        HostileCase{"closed window of no known kind", "\x09\x63"s}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.what; *c != 0; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(WindowProtocol, ImpossibleFrameLengthsBreakTheStreamBeforeAnyBodyArrives) {
    for (const std::string& header : {"\x00\x00\x00\x00"s, "\x01\x00\x00\x04"s, "\xff\xff\xff\xff"s}) {
        FrameReader reader;
        reader.Feed(header);
        Message out;
        EXPECT_EQ(reader.Next(out), FrameReader::Status::Broken);
    }
    const std::size_t largest = MaxFrameBytes;
    std::string header;
    for (int shift = 0; shift < 32; shift += 8)
        header += static_cast<char>((largest >> shift) & 0xFF);
    FrameReader reader;
    reader.Feed(header);
    Message out;
    EXPECT_EQ(reader.Next(out), FrameReader::Status::NeedMore);
}

TEST(WindowProtocol, InvalidUtf8InTextsArrivesAsReplacementCharacters) {
    const std::string frame = Encode(LogViewerShow{"a\xff"
                                                   "b\xd0"});
    const std::optional<Message> decoded = DecodeBody(std::string_view(frame).substr(4));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::get<LogViewerShow>(*decoded).Folder, "a\xEF\xBF\xBD"
                                                        "b\xEF\xBF\xBD");
}

TEST(WindowProtocol, RandomBodiesNeverCrashTheDecoder) {
    std::mt19937 random(20240611);
    const std::vector<Message> kinds = EveryKind();
    for (int round = 0; round < 20000; ++round) {
        // Damage a real body so that most of the decoder's paths are reached, not only the type check.
        std::string body = Encode(kinds[random() % kinds.size()]).substr(4);
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < damage && !body.empty(); ++i)
            body[random() % body.size()] = static_cast<char>(random());
        if (random() % 3 == 0)
            body.resize(random() % (body.size() + 1));
        (void)DecodeBody(body);
    }
}

TEST(WindowProtocol, MonochromePackingPutsTheLeftmostPixelInTheHighBit) {
    const Picture picture =
        PackMonochrome(10, 2, {1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(picture.Pixels, (std::vector<std::uint8_t>{0x80, 0xC0, 0x40, 0x00}));
    EXPECT_TRUE(IsDark(picture, 0, 0));
    EXPECT_TRUE(IsDark(picture, 9, 0));
    EXPECT_TRUE(IsDark(picture, 1, 1));
    EXPECT_FALSE(IsDark(picture, 2, 1));
    EXPECT_FALSE(IsDark(picture, 10, 0));
    EXPECT_FALSE(IsDark(picture, 0, 2));
    EXPECT_EQ(PictureBytes(10, 2, 8), 20u);
    EXPECT_EQ(PictureBytes(10, 2, 4), 0u);
}

} // namespace
} // namespace veltrano::window_protocol
