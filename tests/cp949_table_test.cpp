// The committed code page 949 table against its generator.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tools/cp949_table_builder.h"

using namespace sylpic;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The committed data can never drift from the converter: the generator, run
// again, writes the committed file byte for byte.
TEST(Cp949Table, GeneratorRebuildsTheCommittedSource)
{
    const std::string committed = ReadFile(SYLPIC_SOURCE_DIR "/data/cp949_table.cpp");
    ASSERT_FALSE(committed.empty());
    auto table = std::make_unique<Cp949Decoding>();
    std::string error;
    ASSERT_EQ(BuildCp949Decoding(table.get(), &error), 0) << error;
    EXPECT_TRUE(FormatCp949Table(*table) == committed) << "data/cp949_table.cpp differs from what the generator writes";

    const std::string output = testing::TempDir() + "cp949_table_generated.cpp";
    std::remove(output.c_str());
    const std::string command = std::string("\"") + SYLPIC_CP949_GENERATOR + "\" \"" + output + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(ReadFile(output) == committed) << "the generator program wrote another table";
    std::remove(output.c_str());
}

}  // namespace
