// pendrake-cli optimize and sweep end to end: the chosen wall on disk, the summary, and shards
// whose CSV files concatenate into the whole study.
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The exit status and stdout (the progress bar and errors on stderr are not looked at).
std::pair<int, std::string> RunSearchCli(const std::string& arguments)
{
    RunResult r = RunCli(arguments);
    return { r.Status, std::move(r.Out) };
}

std::vector<std::string> Lines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(SearchCliTest, OptimizeWritesTheChosenWallAndSweepShardsConcatenate)
{
    const fs::path dir
        = fs::temp_directory_path() / ("pendrake-search-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string wall = (dir / "best.pdi").string();

    const auto [status, out]
        = RunSearchCli("optimize --vary TopWidth=0.3:0.5:0.1 --vary BottomWidth=2:4:1 "
                       "--target 'OverturningSafety>=1.4' -o '"
            + wall + "'");
    ASSERT_EQ(status, 0);
    EXPECT_NE(out.find("\"Found\": true"), std::string::npos);
    EXPECT_NE(out.find("\"GridSize\": 9"), std::string::npos);
    EXPECT_NE(out.find("\"ConcreteAreaBefore\": 27.2999998"), std::string::npos);
    // The file holds the chosen wall: show reads back the same top width.
    const size_t chosen = out.find("\"Chosen\"");
    ASSERT_NE(chosen, std::string::npos);
    const size_t top = out.find("\"TopWidth\": ", chosen);
    const std::string topText = out.substr(top, out.find(',', top) - top);
    EXPECT_NE(RunSearchCli("show '" + wall + "'").second.find(topText), std::string::npos);

    EXPECT_EQ(RunSearchCli("optimize --vary NoSuchWidth=1:2:1 -o '" + wall + "'").first, 2);
    EXPECT_EQ(
        RunSearchCli("optimize --target 'OverturningSafety>=1000' --vary TopWidth=0.5:0.5:1 -o '"
            + (dir / "none.pdi").string() + "'")
            .first,
        1);
    EXPECT_FALSE(fs::exists(dir / "none.pdi"));

    const std::string study = "sweep --sample 20 --dist 'FillPhi=normal(30,2)' --seed 5 --csv ";
    ASSERT_EQ(RunSearchCli(study + "'" + (dir / "all.csv").string() + "'").first, 0);
    std::vector<std::string> joined;
    for (int shard = 0; shard < 3; ++shard) {
        const fs::path part = dir / ("part" + std::to_string(shard) + ".csv");
        ASSERT_EQ(
            RunSearchCli(study + "'" + part.string() + "' --shard " + std::to_string(shard) + "/3")
                .first,
            0);
        const std::vector<std::string> lines = Lines(part);
        joined.insert(joined.end(), lines.begin(), lines.end());
    }
    std::vector<std::string> whole = Lines(dir / "all.csv");
    ASSERT_EQ(whole.size(), 21u); // the header and 20 points
    EXPECT_EQ(joined.front(), whole.front()); // the first shard's header, and only that
    std::sort(joined.begin() + 1, joined.end());
    std::sort(whole.begin() + 1, whole.end());
    EXPECT_EQ(joined, whole);
    EXPECT_EQ(RunSearchCli("sweep --sample 5 --csv x.csv").first, 2); // no distribution
    fs::remove_all(dir);
}
