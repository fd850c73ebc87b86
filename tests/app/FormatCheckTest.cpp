// A language module's format strings: a text that would read other printf
// arguments than the program's own text of its number is not used, and the
// translator is told in a debug line.
#include <gtest/gtest.h>

#include <ostream>

#include <QtGlobal>

#include "app/ResourceModule.h"
#include "app/ResourceSource.h"

namespace {

std::vector<std::string>& DebugLines()
{
    static std::vector<std::string> lines;
    return lines;
}

void Collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    DebugLines().push_back(message.toStdString());
}

bool Told(int id)
{
    for (const std::string& line : DebugLines())
        if (line.find("string " + std::to_string(id) + " ") != std::string::npos)
            return true;
    return false;
}

struct FormatCase {
    const char* name;
    int id;
    const char* expected;
    bool told;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << c.name;
}

class ModuleFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ModuleFormats, TakeTheProgramsTextWhereTheArgumentsDiffer)
{
    const FormatCase& c = GetParam();
    const ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    const auto module = ResourceModule::Load(std::string(TOLVANE_TEST_MODULES) + "/formats/KVLANG.DLL");
    ASSERT_NE(module, nullptr);
    ResourceSource source(own);
    source.UseModule(module.get());

    DebugLines().clear();
    const QtMessageHandler previous = qInstallMessageHandler(Collect);
    const auto text = source.LoadString(c.id);
    qInstallMessageHandler(previous);

    EXPECT_EQ(text.value_or("<none>"), c.expected);
    EXPECT_EQ(Told(c.id), c.told);
    // All of the module's faulty texts are reported when its table is read.
    EXPECT_TRUE(Told(3006) && Told(2153) && Told(2012));
    EXPECT_FALSE(Told(2147) || Told(3001));
}

INSTANTIATE_TEST_SUITE_P(
    All, ModuleFormats,
    ::testing::Values(FormatCase{"StringForInt", 3006, "%d to add, %d to update, %d to delete", true},
                      FormatCase{"MissingInt", 2153, "%d records were affected by statement:\n", true},
                      FormatCase{"ExtraWrite", 2012, "%lu KB", true},
                      FormatCase{"OtherPrecision", 2147, "%.1lf MB", false},
                      FormatCase{"NoConversions", 3001, "Alte Tabellen (Formatprobe)", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
