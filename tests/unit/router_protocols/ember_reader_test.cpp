// The Ember+ readers: S101 frames cut from a byte stream, and the Glow elements of a payload.
// Provider replies are written here byte by byte, as the Glow DTD lays them out, so that the
// reader is not only checked against the writer beside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "glow_reader.h"
#include "s101_framing.h"

using namespace vorn_host;

namespace {

using bytes = std::vector<std::uint8_t>;

std::vector<s101::message> decodeAll(s101::s101_decoder& decoder, const bytes& stream) {
    decoder.take(stream.data(), stream.size());
    std::vector<s101::message> all;
    while (auto m = decoder.next()) all.push_back(std::move(*m));
    return all;
}

// CRC-16/X-25, whose check value over "123456789" is 0x906E, is the inverted S101 CRC.
TEST(S101, TheCrcIsTheX25OneBeforeItIsInverted) {
    const std::string check = "123456789";
    const auto crc = s101::crc(reinterpret_cast<const std::uint8_t*>(check.data()), check.size());
    EXPECT_EQ(static_cast<std::uint16_t>(~crc), 0x906E);
}

TEST(S101, AFrameGivesBackItsPayloadWhateverBytesItHoldsAndHoweverItArrives) {
    const bytes payload = {0x60, 0xFE, 0xFF, 0xFD, 0xF8, 0x00, 0x7F};
    const bytes frame = s101::emberFrame(payload);
    EXPECT_EQ(frame.front(), 0xFE);
    EXPECT_EQ(frame.back(), 0xFF);
    for (std::size_t i = 1; i + 1 < frame.size(); ++i) EXPECT_LT(frame[i], 0xFE) << "unescaped at " << i;

    s101::s101_decoder decoder;
    std::vector<s101::message> got;
    for (std::uint8_t b : frame) {
        for (auto& m : decodeAll(decoder, {b})) got.push_back(std::move(m));
    }
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].kind, s101::message_kind::ember);
    EXPECT_EQ(got[0].payload, payload);
    EXPECT_EQ(decoder.badFrames(), 0u);
}

TEST(S101, AWrongCrcACutFrameAndNoiseBetweenFramesAreDroppedAndCounted) {
    bytes stream = {0x11, 0x22};  // noise before any BOF is passed over
    bytes spoilt = s101::emberFrame({0x60, 0x01});
    spoilt[spoilt.size() - 2] ^= 0x01;  // a CRC byte
    stream.insert(stream.end(), spoilt.begin(), spoilt.end());
    const bytes cut = s101::emberFrame({0x61});
    stream.insert(stream.end(), cut.begin(), cut.end() - 3);  // its end never comes: a BOF follows
    const bytes good = s101::emberFrame({0x62, 0x00});
    stream.insert(stream.end(), good.begin(), good.end());
    s101::s101_decoder decoder;
    const auto got = decodeAll(decoder, stream);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, (bytes{0x62, 0x00}));
    EXPECT_EQ(decoder.badFrames(), 2u);
}

TEST(S101, KeepAlivesAreToldApartFromData) {
    bytes stream = s101::keepAliveRequest();
    const bytes answer = s101::keepAliveAnswer();
    stream.insert(stream.end(), answer.begin(), answer.end());
    s101::s101_decoder decoder;
    const auto got = decodeAll(decoder, stream);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].kind, s101::message_kind::keep_alive_request);
    EXPECT_EQ(got[1].kind, s101::message_kind::keep_alive_answer);
}

// A message split over packets: first, middle and last, each frame with its own flags.
// A frame of any message bytes, its CRC and escaping done here, apart from the writer's.
bytes frameOf(bytes message) {
    const std::uint16_t sent = static_cast<std::uint16_t>(~s101::crc(message.data(), message.size()));
    message.push_back(static_cast<std::uint8_t>(sent & 0xFF));
    message.push_back(static_cast<std::uint8_t>(sent >> 8));
    bytes out = {0xFE};
    for (std::uint8_t b : message) {
        if (b >= 0xF8) {
            out.push_back(0xFD);
            out.push_back(b ^ 0x20);
        } else {
            out.push_back(b);
        }
    }
    out.push_back(0xFF);
    return out;
}

// An EmBER packet: slot, type, command, version, flags, DTD, two application bytes, payload.
bytes packet(std::uint8_t flags, const bytes& piece) {
    bytes message = {0x00, 0x0E, 0x00, 0x01, flags, 0x01, 0x02, 0x1F, 0x02};
    message.insert(message.end(), piece.begin(), piece.end());
    return frameOf(message);
}

void append(bytes& stream, const bytes& more) {
    stream.insert(stream.end(), more.begin(), more.end());
}

TEST(S101, PacketsOfOneMessageAreJoinedAndAFrameBeyondTheLimitIsDropped) {
    bytes stream = packet(0x80, {1, 2});
    append(stream, packet(0x00, {3}));
    append(stream, packet(0x40, {4, 5}));
    append(stream, s101::emberFrame(bytes(s101::kMaxFrameBytes + 10, 0x01)));
    s101::s101_decoder decoder;
    const auto got = decodeAll(decoder, stream);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, (bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(decoder.badFrames(), 1u);
}

// Whole frames with a good CRC that are no Glow message of ours: each is dropped and counted.
TEST(S101, AForeignTypeCommandOrDtdAndAMessageBeyondTheLimitAreDroppedAndCounted) {
    bytes stream = frameOf({0x00, 0x0F, 0x00, 0x01, 0xC0, 0x01, 0x02, 0x1F, 0x02, 0x60});   // type
    append(stream, frameOf({0x00, 0x0E, 0x05, 0x01}));                                      // command
    append(stream, frameOf({0x00, 0x0E, 0x00, 0x01, 0xC0, 0x02, 0x02, 0x1F, 0x02, 0x60}));  // DTD
    append(stream, frameOf({0x00, 0x0E, 0x00, 0x01, 0xC0, 0x01, 0x09}));  // application bytes past the end
    s101::s101_decoder decoder;
    EXPECT_TRUE(decodeAll(decoder, stream).empty());
    EXPECT_EQ(decoder.badFrames(), 4u);

    // Packets that join to more than the message limit: the message is dropped, once.
    bytes joined = packet(0x80, bytes(15000, 0x01));
    for (std::size_t held = 15000; held <= s101::kMaxMessageBytes; held += 15000)
        append(joined, packet(0x00, bytes(15000, 0x01)));
    append(joined, packet(0x40, {0x02}));
    s101::s101_decoder limited;
    EXPECT_TRUE(decodeAll(limited, joined).empty());
    EXPECT_EQ(limited.badFrames(), 1u);
}

// BER as a provider writes it, with definite lengths: tag, length (in the long form from 128
// bytes on), contents.
bytes ber(std::uint8_t tag, const bytes& contents) {
    bytes out{tag};
    const std::size_t n = contents.size();
    if (n < 0x80) {
        out.push_back(static_cast<std::uint8_t>(n));
    } else {
        out.push_back(0x83);
        for (int shift : {16, 8, 0}) out.push_back(static_cast<std::uint8_t>(n >> shift));
    }
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}
bytes cat(std::initializer_list<bytes> parts) {
    bytes out;
    for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
bytes text(const std::string& s) {
    return ber(0x0C, bytes(s.begin(), s.end()));
}
bytes integer(std::uint8_t v) {
    return ber(0x02, {v});
}

// Root > node 0 "router" > matrix 1 "video": 4 targets, 8 sources, a label location at 0.2,
// and target 2 connected to source 5, tally. Glow's types are tagged implicitly: an application
// tag stands for the SEQUENCE of its fields.
// The counts are one BER byte each: 0xFF is -1.
bytes providerTree(std::uint8_t targets = 4, std::uint8_t sources = 8) {
    const bytes matrixContents = ber(
        0x31,
        cat({ber(0xA0, text("video")), ber(0xA2, integer(0)), ber(0xA4, integer(targets)), ber(0xA5, integer(sources)),
             ber(0xAA,
                 ber(0x30, ber(0xA0, ber(0x72, cat({ber(0xA0, ber(0x0D, {0, 2})), ber(0xA1, text("Primary"))})))))}));
    const bytes connection = ber(0x70, cat({ber(0xA0, integer(2)), ber(0xA1, ber(0x0D, {5})), ber(0xA3, integer(0))}));
    const bytes matrix =
        ber(0x6D, cat({ber(0xA0, integer(1)), ber(0xA1, matrixContents), ber(0xA5, ber(0x30, ber(0xA0, connection)))}));
    const bytes node = ber(0x63, cat({ber(0xA0, integer(0)), ber(0xA1, ber(0x31, ber(0xA0, text("router")))),
                                      ber(0xA2, ber(0x64, ber(0xA0, matrix)))}));
    return ber(0x60, ber(0x6B, ber(0xA0, node)));
}

bytes fromHex(const std::string& hex) {
    bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// A tree as node-emberplus 3.0.8 encodes it (EmberServer.createTreeFromJSON, then encode): node
// "router" holding matrix "video" (4 x 8, target 2 from source 5, labels at 0.2 "Primary") and
// node "labels" > "targets" > string parameter "t1" = "OUT 1".
const char kNodeEmberplusTree[] =
    "6081e36b81e0a081dd6381daa003020100a111310fa0080c06726f75746572a3030101ffa281bf6481bca0536d51a003"
    "020100a1383136a0070c05766964656fa203020100a303020100a403020104a503020108aa173015a0137211a0040d02"
    "0002a1090c075072696d617279a510300ea00c700aa003020102a1030d0105a0656363a003020101a111310fa0080c06"
    "6c6162656c73a3030101ffa2496447a0456343a003020100a1123110a0090c0774617267657473a3030101ffa2286426"
    "a0246122a003020100a11b3119a0040c027431a2070c054f55542031a503020101ad03020103";

TEST(Glow, ATreeThatAnotherImplementationWroteReadsWhole) {
    std::string error;
    const auto elements = glow::readGlow(fromHex(kNodeEmberplusTree), error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 5u);
    const glow::element& matrix = (*elements)[1];
    EXPECT_EQ(matrix.path, (glow::number_path{0, 0}));
    EXPECT_EQ(matrix.identifier, "video");
    EXPECT_EQ(matrix.targetCount, 4u);
    EXPECT_EQ(matrix.sourceCount, 8u);
    ASSERT_EQ(matrix.labels.size(), 1u);
    EXPECT_EQ(matrix.labels[0].basePath, (glow::number_path{0, 2}));
    ASSERT_EQ(matrix.connections.size(), 1u);
    EXPECT_EQ(matrix.connections[0].sources, (std::vector<std::uint32_t>{5}));
    const glow::element& label = (*elements)[4];
    EXPECT_EQ(label.kind, glow::element_kind::parameter);
    EXPECT_EQ(label.path, (glow::number_path{0, 1, 0, 0}));
    EXPECT_EQ(label.text, "OUT 1");
}

TEST(Glow, AProvidersTreeGivesEachElementWithItsPathAndTheMatrixItsSizeLabelsAndConnections) {
    std::string error;
    const auto elements = glow::readGlow(providerTree(), error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 2u);
    EXPECT_EQ((*elements)[0].kind, glow::element_kind::node);
    EXPECT_EQ((*elements)[0].identifier, "router");
    EXPECT_EQ((*elements)[0].path, (glow::number_path{0}));
    const glow::element& matrix = (*elements)[1];
    EXPECT_EQ(matrix.kind, glow::element_kind::matrix);
    EXPECT_EQ(matrix.path, (glow::number_path{0, 1}));
    EXPECT_EQ(matrix.identifier, "video");
    EXPECT_EQ(matrix.matrixType, 0);
    EXPECT_EQ(matrix.targetCount, 4u);
    EXPECT_EQ(matrix.sourceCount, 8u);
    ASSERT_EQ(matrix.labels.size(), 1u);
    EXPECT_EQ(matrix.labels[0].basePath, (glow::number_path{0, 2}));
    EXPECT_EQ(matrix.labels[0].description, "Primary");
    ASSERT_EQ(matrix.connections.size(), 1u);
    EXPECT_EQ(matrix.connections[0].target, 2u);
    EXPECT_EQ(matrix.connections[0].sources, (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(matrix.connections[0].state, glow::disposition::tally);
}

// A matrix's size as its provider says it, from none up; a count below none is no size.
TEST(Glow, AMatrixOfNoTargetsOrSourcesHasThatSizeAndANegativeCountNone) {
    std::string error;
    const auto empty = glow::readGlow(providerTree(0, 0), error);
    ASSERT_TRUE(empty) << error;
    EXPECT_EQ((*empty)[1].targetCount, 0u);
    EXPECT_EQ((*empty)[1].sourceCount, 0u);
    const auto negative = glow::readGlow(providerTree(0xFF, 0xFF), error);
    ASSERT_TRUE(negative) << error;
    EXPECT_EQ((*negative)[1].targetCount, std::nullopt);
    EXPECT_EQ((*negative)[1].sourceCount, std::nullopt);
}

// Indefinite lengths (0x80, ended by two zero bytes), as other providers write them.
TEST(Glow, IndefiniteLengthsReadAsDefiniteOnes) {
    const bytes node = cat({{0x63, 0x80, 0x30, 0x80},
                            ber(0xA0, integer(3)),
                            {0xA1, 0x80, 0x31, 0x80},
                            ber(0xA0, text("sources")),
                            {0, 0, 0, 0},
                            {0, 0, 0, 0}});
    const bytes root = cat({{0x60, 0x80, 0x6B, 0x80, 0x30, 0x80, 0xA0, 0x80}, node, {0, 0, 0, 0, 0, 0, 0, 0}});
    std::string error;
    const auto elements = glow::readGlow(root, error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 1u);
    EXPECT_EQ((*elements)[0].identifier, "sources");
    EXPECT_EQ((*elements)[0].path, (glow::number_path{3}));

    // A value of no length beside them (a NULL the root holds, passed over) ends nothing.
    const bytes withNull = cat({{0x60, 0x80, 0x05, 0x00, 0x6B, 0x80, 0xA0, 0x80}, node, {0, 0, 0, 0, 0, 0}});
    const auto besideNull = glow::readGlow(withNull, error);
    ASSERT_TRUE(besideNull) << error;
    EXPECT_EQ(besideNull->size(), 1u);
}

TEST(Glow, ATakeRequestReadsBackAsOneAbsoluteConnectionOfTheMatrix) {
    std::string error;
    const auto elements = glow::readGlow(glow::connectAbsolute({0, 1, 300}, 7, 200), error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 1u);
    EXPECT_EQ((*elements)[0].kind, glow::element_kind::matrix);
    EXPECT_EQ((*elements)[0].path, (glow::number_path{0, 1, 300}));
    ASSERT_EQ((*elements)[0].connections.size(), 1u);
    EXPECT_EQ((*elements)[0].connections[0].target, 7u);
    EXPECT_EQ((*elements)[0].connections[0].sources, (std::vector<std::uint32_t>{200}));
    // A directory request holds a command only, which is no element.
    EXPECT_TRUE(glow::readGlow(glow::getDirectory(), error)->empty()) << error;
    const auto asked = glow::readGlow(glow::getDirectory({0, 1}, glow::element_kind::matrix), error);
    ASSERT_TRUE(asked) << error;
    EXPECT_EQ(asked->size(), 1u);
}

TEST(Glow, LengthsBeyondTheirHolderDeepNestingAndForeignTypesAreRefused) {
    std::string error;
    bytes tree = providerTree();
    tree[1] = static_cast<std::uint8_t>(tree[1] + 1);  // the root claims a byte it does not have
    EXPECT_FALSE(glow::readGlow(tree, error));
    EXPECT_EQ(error, "a length beyond what holds it");

    bytes deep;
    for (unsigned i = 0; i <= glow::kMaxDepth + 1; ++i) deep.insert(deep.end(), {0x30, 0x80});
    EXPECT_FALSE(glow::readGlow(deep, error));
    EXPECT_NE(error.find("nested deeper"), std::string::npos) << error;

    EXPECT_FALSE(glow::readGlow(ber(0x30, {}), error));
    EXPECT_EQ(error, "no Glow root");
}

// A field numbered beyond those read, in a tag of more than one byte ([40]), is passed over; a
// field whose one value is followed by a broken one is refused.
bytes rootOf(const bytes& element) {
    return ber(0x60, ber(0x6B, ber(0xA0, element)));
}

// Fields numbered beyond those read, in tags of more than one byte ([40]), are passed over, in an
// element and in its contents; so is an element of a type this does not read (a function).
TEST(Glow, LongTagsAndForeignElementsArePassedOver) {
    const bytes longField = {0xBF, 0x28, 0x03, 0x02, 0x01, 0x07};
    const bytes contents = ber(0x31, cat({ber(0xA0, text("n")), longField}));
    const bytes node = ber(0x63, cat({ber(0xA0, integer(4)), longField, ber(0xA1, contents)}));
    const bytes function = ber(0x73, ber(0xA0, integer(5)));
    std::string error;
    const auto elements = glow::readGlow(ber(0x60, ber(0x6B, cat({ber(0xA0, function), ber(0xA0, node)}))), error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 1u);
    EXPECT_EQ((*elements)[0].path, (glow::number_path{4}));
    EXPECT_EQ((*elements)[0].identifier, "n");
}

// The last field number read is [15]; [16], the first beyond, is passed over, in an element and
// in its contents, as any beyond is (under the asan preset, a field kept past the last one read
// would be a write past the fields' array).
TEST(Glow, FieldsFromTheFirstNumberBeyondThoseReadArePassedOver) {
    const bytes lastRead = ber(0xAF, integer(1));
    const bytes firstBeyond = ber(0xB0, integer(2));
    const bytes contents = ber(0x31, cat({ber(0xA0, text("n")), lastRead, firstBeyond}));
    const bytes node = ber(0x63, cat({ber(0xA0, integer(4)), lastRead, firstBeyond, ber(0xA1, contents)}));
    std::string error;
    const auto elements = glow::readGlow(rootOf(node), error);
    ASSERT_TRUE(elements) << error;
    ASSERT_EQ(elements->size(), 1u);
    EXPECT_EQ((*elements)[0].path, (glow::number_path{4}));
    EXPECT_EQ((*elements)[0].identifier, "n");
}

// A value followed by a broken one, in a field or in an element, makes the whole payload
// unreadable; so does a path whose last number is cut off.
TEST(Glow, AValueBesideABrokenOneAndACutPathAreRefused) {
    const bytes broken = {0x02, 0x05, 0x01};
    std::string error;
    EXPECT_FALSE(glow::readGlow(rootOf(ber(0x63, ber(0xA0, cat({integer(4), broken})))), error));
    EXPECT_EQ(error, "a length beyond what holds it");
    EXPECT_FALSE(glow::readGlow(rootOf(ber(0x63, cat({ber(0xA0, integer(4)), broken}))), error));
    EXPECT_EQ(error, "a length beyond what holds it");
    EXPECT_FALSE(glow::readGlow(rootOf(ber(0x6A, ber(0xA0, ber(0x0D, {0x01, 0x81})))), error));
    EXPECT_EQ(error, "a qualified element without its path");
}

// An element's number is a non-negative integer of at most 32 bits: a negative one, one beyond,
// and a text where the integer should be are each refused.
TEST(Glow, AnElementNumberedByAnythingButAWholeNumberIsRefused) {
    std::string error;
    ASSERT_TRUE(glow::readGlow(rootOf(ber(0x63, ber(0xA0, integer(4)))), error)) << error;
    const bytes numbers[] = {ber(0x02, {0xFF}), ber(0x02, {0x01, 0x00, 0x00, 0x00, 0x00}), text("A")};
    for (const bytes& number : numbers) {
        error.clear();
        EXPECT_FALSE(glow::readGlow(rootOf(ber(0x63, ber(0xA0, number))), error));
        EXPECT_EQ(error, "an element without its number");
    }
}

TEST(Glow, AMessageOfMoreElementsThanTheLimitIsRefused) {
    const bytes node = ber(0xA0, ber(0x63, ber(0xA0, integer(1))));
    bytes many;
    for (std::size_t i = 0; i < glow::kMaxElements; ++i) many.insert(many.end(), node.begin(), node.end());
    std::string error;
    const auto atTheLimit = glow::readGlow(ber(0x60, ber(0x6B, many)), error);
    ASSERT_TRUE(atTheLimit) << error;
    EXPECT_EQ(atTheLimit->size(), glow::kMaxElements);
    many.insert(many.end(), node.begin(), node.end());
    EXPECT_FALSE(glow::readGlow(ber(0x60, ber(0x6B, many)), error));
    EXPECT_EQ(error, "more than 65536 elements");
}

TEST(Glow, PathsAreNumbersPartedByDots) {
    EXPECT_EQ(glow::parsePath("0.1.0"), (glow::number_path{0, 1, 0}));
    EXPECT_EQ(glow::parsePath("7"), (glow::number_path{7}));
    EXPECT_EQ(glow::parsePath("123456789.0"), (glow::number_path{123456789, 0}));
    for (const char* wrong : {"", ".1", "1.", "1..2", "a.1", "1.-2", "1234567890"}) {
        EXPECT_FALSE(glow::parsePath(wrong)) << wrong;
    }
    EXPECT_EQ(glow::pathText({0, 1, 0}), "0.1.0");
}

}  // namespace
