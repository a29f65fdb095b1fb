// pendrake-cli drawing: every view written as SVG, PNG or PDF, and each file read back as what
// its name says.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The exported surface, pixels.
constexpr uint32_t DrawingWidth = 1000;
constexpr uint32_t DrawingHeight = 700;

int Shell(const std::string& command)
{
    return WEXITSTATUS(std::system(command.c_str()));
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

uint32_t BigEndian(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
    return v;
}

// "/Type /Page" objects, not the "/Type /Pages" tree.
int PdfPages(const std::string& pdf)
{
    int pages = 0;
    const std::string key = "/Type /Page";
    for (size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1))
        pages += pdf.compare(at + key.size(), 1, "s") != 0;
    return pages;
}

TEST(DrawingCli, EveryViewIsWrittenAsTheFileItsNameAsksFor)
{
    if (Shell(std::string("'") + PENDRAKE_CLI_PATH + "' --help | grep -q '^  drawing'") != 0)
        GTEST_SKIP() << "pendrake-cli was built without the report (no Qt)";
    const fs::path dir
        = fs::temp_directory_path() / ("pendrake-drawing-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string project = std::string(PENDRAKE_TEST_DATA_DIR) + "/full-project.pdi";
    const std::array<const char*, 9> views = { "dimensions", "dead", "live", "soil", "water",
        "structural", "impact", "seismic", "reactions" };
    const std::array<const char*, 3> formats = { "svg", "png", "pdf" };
    for (size_t v = 0; v < views.size(); ++v) {
        // Every view once, the three writers in turn.
        const std::string format = formats[v % formats.size()];
        SCOPED_TRACE(std::string(views[v]) + "." + format);
        const fs::path out = dir / (std::string(views[v]) + "." + format);
        ASSERT_EQ(Shell(std::string("'") + PENDRAKE_CLI_PATH + "' drawing '" + project + "' --view "
                      + views[v] + " -o '" + out.string() + "' > /dev/null"),
            0);
        const std::string bytes = Read(out);
        if (format == "svg") {
            EXPECT_EQ(bytes.rfind("<?xml", 0), 0u);
            EXPECT_NE(bytes.find("viewBox=\"0 0 1000 700\""), std::string::npos);
            EXPECT_NE(bytes.find("<path"), std::string::npos); // the section at least
            EXPECT_NE(bytes.find("</svg>"), std::string::npos);
        } else if (format == "png") {
            ASSERT_GT(bytes.size(), 24u);
            EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
            EXPECT_EQ(bytes.substr(12, 4), "IHDR");
            EXPECT_EQ(BigEndian(bytes, 16), DrawingWidth);
            EXPECT_EQ(BigEndian(bytes, 20), DrawingHeight);
        } else {
            EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
            EXPECT_EQ(PdfPages(bytes), 1);
            EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
        }
    }
    // A view with nothing of its kind says so.
    const fs::path bare = dir / "structural-new.svg";
    ASSERT_EQ(Shell(std::string("'") + PENDRAKE_CLI_PATH + "' drawing --view structural -o '"
                  + bare.string() + "' > /dev/null"),
        0);
    EXPECT_NE(Read(bare).find("No structural loads"), std::string::npos);
    // An unknown view or suffix is a usage error.
    EXPECT_EQ(Shell(std::string("'") + PENDRAKE_CLI_PATH + "' drawing --view front -o '"
                  + (dir / "x.svg").string() + "' 2> /dev/null"),
        2);
    EXPECT_EQ(Shell(std::string("'") + PENDRAKE_CLI_PATH + "' drawing --view soil -o '"
                  + (dir / "x.jpg").string() + "' 2> /dev/null"),
        2);
    fs::remove_all(dir);
}

} // namespace
