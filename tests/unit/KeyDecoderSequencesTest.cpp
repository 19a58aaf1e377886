#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/KeyDecoder.h"

// What real terminals send for each key, and the console runtime codes that
// must come out of it.
namespace {

struct Row {
    const char* bytes;
    std::vector<int> codes;
};

std::vector<int> decodeAtOnce(const std::string& bytes) {
    KeyDecoder decoder;
    decoder.feed(bytes, 0);
    std::vector<int> codes;
    while (decoder.hasKey()) codes.push_back(decoder.takeKey());
    return codes;
}

void expectTable(const std::vector<Row>& table) {
    for (const Row& row : table) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.bytes)));
        EXPECT_EQ(decodeAtOnce(row.bytes), row.codes);
    }
}

TEST(KeyDecoderSequences, OrdinaryAndControlKeys) {
    expectTable({
        {"a", {97}},        {"Z", {90}},        {"1", {49}},        {"\r", {13}},
        {"\n", {13}},       {"\x7f", {8}},      {"\b", {8}},        {"\t", {9}},
        {"\x01", {1}},      {"\x1a", {26}},     {"\x1c", {28}},     {"\x1bx", {27, 120}},
        {"\x1b\r", {27, 13}},                   {"\x1b\x1b[A", {27, 224, 72}},
    });
    EXPECT_EQ(decodeAtOnce(std::string("a\0b", 3)), (std::vector<int>{97, 98}));
}

TEST(KeyDecoderSequences, Xterm) {
    expectTable({
        {"\x1b[A", {224, 72}},   {"\x1b[B", {224, 80}},   {"\x1b[C", {224, 77}},
        {"\x1b[D", {224, 75}},   {"\x1bOA", {224, 72}},   {"\x1bOB", {224, 80}},
        {"\x1bOC", {224, 77}},   {"\x1bOD", {224, 75}},   {"\x1b[H", {224, 71}},
        {"\x1b[F", {224, 79}},   {"\x1bOH", {224, 71}},   {"\x1bOF", {224, 79}},
        {"\x1b[2~", {224, 82}},  {"\x1b[3~", {224, 83}},  {"\x1b[5~", {224, 73}},
        {"\x1b[6~", {224, 81}},  {"\x1bOP", {0, 59}},     {"\x1bOQ", {0, 60}},
        {"\x1bOR", {0, 61}},     {"\x1bOS", {0, 62}},     {"\x1b[15~", {0, 63}},
        {"\x1b[17~", {0, 64}},   {"\x1b[18~", {0, 65}},   {"\x1b[19~", {0, 66}},
        {"\x1b[20~", {0, 67}},   {"\x1b[21~", {0, 68}},   {"\x1b[23~", {224, 133}},
        {"\x1b[24~", {224, 134}},
        // modified keys count as unmodified
        {"\x1b[1;5A", {224, 72}},  {"\x1b[1;2P", {0, 59}},     {"\x1b[1;5Q", {0, 60}},
        {"\x1b[15;2~", {0, 63}},   {"\x1b[3;5~", {224, 83}},   {"\x1b[1;3H", {224, 71}},
        {"\x1bO2P", {0, 59}},      {"\x1b[24;6~", {224, 134}}, {"\x1b[Z", {9}},
        {"\x1b[27;5;97~", {97}},   {"\x1b[27;2;13~", {13}},
        // keypad in application mode
        {"\x1bOM", {13}}, {"\x1bOp", {48}}, {"\x1bOy", {57}}, {"\x1bOk", {43}},
    });
}

TEST(KeyDecoderSequences, VteGnomeTerminal) {
    expectTable({
        {"\x1b[H", {224, 71}},   {"\x1b[F", {224, 79}},      {"\x1bOH", {224, 71}},
        {"\x1bOF", {224, 79}},   {"\x1b[1;5D", {224, 75}},   {"\x1b[1;2F", {224, 79}},
        {"\x1bOP", {0, 59}},     {"\x1b[1;5S", {0, 62}},     {"\x1b[15;5~", {0, 63}},
        {"\x1b[6;2~", {224, 81}},
    });
}

TEST(KeyDecoderSequences, LinuxConsole) {
    expectTable({
        {"\x1b[[A", {0, 59}},    {"\x1b[[B", {0, 60}},    {"\x1b[[C", {0, 61}},
        {"\x1b[[D", {0, 62}},    {"\x1b[[E", {0, 63}},    {"\x1b[17~", {0, 64}},
        {"\x1b[21~", {0, 68}},   {"\x1b[23~", {224, 133}},{"\x1b[24~", {224, 134}},
        {"\x1b[1~", {224, 71}},  {"\x1b[4~", {224, 79}},  {"\x1b[2~", {224, 82}},
        {"\x1b[3~", {224, 83}},  {"\x1b[5~", {224, 73}},  {"\x1b[6~", {224, 81}},
        {"\x1b[A", {224, 72}},   {"\x1bOD", {224, 75}},   {"\x1b[G", {}},
        {"\x1b[[Z", {}},
    });
}

TEST(KeyDecoderSequences, Rxvt) {
    expectTable({
        {"\x1b[7~", {224, 71}},  {"\x1b[8~", {224, 79}},  {"\x1b[11~", {0, 59}},
        {"\x1b[12~", {0, 60}},   {"\x1b[13~", {0, 61}},   {"\x1b[14~", {0, 62}},
        {"\x1b[7$", {224, 71}},  {"\x1b[3^", {224, 83}},  {"\x1b[11@", {0, 59}},
        {"\x1b[2$", {224, 82}},  {"\x1b[a", {224, 72}},   {"\x1b[d", {224, 75}},
        {"\x1bOc", {224, 77}},   {"\x1bOb", {224, 80}},
    });
}

TEST(KeyDecoderSequences, TmuxAndScreen) {
    expectTable({
        {"\x1b[1~", {224, 71}},  {"\x1b[4~", {224, 79}},    {"\x1bOP", {0, 59}},
        {"\x1b[A", {224, 72}},   {"\x1bOA", {224, 72}},     {"\x1b[1;5C", {224, 77}},
        {"\x1b[5~", {224, 73}},  {"\x1b[24~", {224, 134}},
    });
}

TEST(KeyDecoderSequences, UnknownSequencesAndRepliesLeaveNoTrace) {
    expectTable({
        {"\x1b[I", {}},            {"\x1b[O", {}},           {"\x1b[E", {}},
        {"\x1bOE", {}},            {"\x1b[99~", {}},         {"\x1b[?1;2c", {}},
        {"\x1b[>0;95;0c", {}},     {"\x1b[12;40R", {}},      {"\x1b[<0;10;5M", {}},
        {"\x1b[8;49;80t", {}},     {"\x1b[?1;2$y", {}},      {"\x1b[1 q", {}},
        {"\x1b[200~Der Fall\r\x1b[201~", {68, 101, 114, 32, 70, 97, 108, 108, 13}},
        // a control byte cuts a sequence short: the sequence goes, the key stays
        {"\x1b[1;5\r", {13}},      {"\x1b[1\x1b[B", {224, 80}},
    });
}

}  // namespace
