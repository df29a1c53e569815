// The window-free rules over many generated inputs, checked by their properties rather than by
// fixed answers. The generator is seeded, so every run sees the same inputs; under the native
// build's ASan and UBSan any overrun or undefined arithmetic on the way fails the run.
#include "destination/clean_path.h"
#include "destination/disk_space.h"
#include "installer/install_rules.h"
#include "progman/commands.h"
#include "registration/file_type_plan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 20000;

// Texts of every byte value, biased towards the bytes the rules look at, with lengths from empty
// to a few thousand.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : engine_(seed) {}

    std::uint32_t Next() { return static_cast<std::uint32_t>(engine_()); }
    std::uint32_t Below(std::uint32_t n) { return n ? Next() % n : 0; }
    bool Coin() { return Next() & 1; }

    char Byte() {
        static const char kSpecial[] = {'\\', ':', '.', '"',  ',',  '(',  ')',  '[', ']', ' ',
                                        '/',  '_', '-', '\0', '\t', '\r', '\n', 'C', 'c', '%'};
        if (Below(3) == 0)
            return kSpecial[Below(sizeof kSpecial)];
        return static_cast<char>(Below(256));
    }
    std::string Text(std::size_t maxLength) {
        // Mostly short texts, now and then a long one.
        std::size_t length =
            Below(8) == 0 ? Below(static_cast<std::uint32_t>(maxLength) + 1) : Below(40);
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += Byte();
        return text;
    }
    // A text that starts as a destination does ("X:\") about half of the time.
    std::string Destination() {
        std::string text = Text(3000);
        if (Coin())
            text = std::string(1, Byte()) + ":\\" + text;
        return text;
    }
    std::int64_t Int64() {
        return static_cast<std::int64_t>((std::uint64_t{Next()} << 32) | Next());
    }

  private:
    std::mt19937 engine_;
};

TEST(FuzzDestination, CleanPathKeepsLengthAndPrefixAndLeavesOnlyAllowedBytes) {
    Generator gen(1);
    for (int round = 0; round < kRounds; ++round) {
        const std::string path = gen.Destination();
        const std::string before = path;
        std::string cleaned = "untouched";
        const bool ok = destination::CleanPath(path, cleaned);
        ASSERT_EQ(path, before) << "the input is never changed";
        const bool form = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
        ASSERT_EQ(ok, form) << round;
        if (!ok) {
            ASSERT_EQ(cleaned, "untouched") << round;
            continue;
        }
        ASSERT_EQ(cleaned.size(), path.size()) << round;
        ASSERT_EQ(cleaned.substr(0, 3), path.substr(0, 3)) << round;
        for (std::size_t i = 3; i < path.size(); ++i) {
            const unsigned char in = static_cast<unsigned char>(path[i]);
            const unsigned char out = static_cast<unsigned char>(cleaned[i]);
            ASSERT_TRUE(destination::IsAllowedPathChar(out)) << round << " at " << i;
            ASSERT_EQ(out, destination::IsAllowedPathChar(in) ? in : '_') << round << " at " << i;
        }
        // Cleaning is a fixed point: a cleaned path comes back as it is.
        std::string again;
        ASSERT_TRUE(destination::CleanPath(cleaned, again));
        ASSERT_EQ(again, cleaned);
    }
}

TEST(FuzzDestination, WithDriveLetterReplacesOnlyTheFirstCharacter) {
    Generator gen(2);
    for (int round = 0; round < kRounds; ++round) {
        const char letter = gen.Byte();
        const std::string dest = gen.Text(2000);
        const std::string out = destination::WithDriveLetter(letter, dest);
        const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 32) : letter;
        ASSERT_EQ(out.size(), dest.empty() ? 1u : dest.size()) << round;
        ASSERT_EQ(out[0], upper) << round;
        if (!dest.empty()) {
            ASSERT_EQ(out.substr(1), dest.substr(1)) << round;
        }
    }
}

TEST(FuzzDiskSpace, TextsAndShareOverTheWholeRangeOfCounts) {
    Generator gen(3);
    for (int round = 0; round < kRounds; ++round) {
        std::int64_t bytes = gen.Int64();
        if (gen.Coin())
            bytes = static_cast<std::int64_t>(gen.Below(2000000000));
        const std::string mb = destination::MegabytesText(bytes);
        ASSERT_EQ(mb, std::to_string(bytes / 1000000) + " Mb") << bytes;

        // The share is asked only for a drive with space on it (both counts at least 1).
        std::int64_t size = bytes > 0 ? bytes : (bytes == INT64_MIN ? INT64_MAX : -bytes);
        if (size < 1)
            size = 1;
        const std::int64_t free =
            1 + static_cast<std::int64_t>((std::uint64_t{gen.Next()} << 32 | gen.Next()) %
                                          static_cast<std::uint64_t>(size));
        const long percent = destination::FreePercent(free, size);
        ASSERT_GE(percent, 0) << free << " of " << size;
        ASSERT_LE(percent, 100) << free << " of " << size;
        const long double exact =
            100.0L * static_cast<long double>(free) / static_cast<long double>(size);
        ASSERT_LE(std::fabs(static_cast<long double>(percent) - exact), 0.5L + 1e-9L)
            << free << " of " << size;
    }
}

TEST(FuzzDiskSpace, RequiredSizeTextShowsTheWholeNumberForAnyFiniteSize) {
    Generator gen(4);
    const std::string separators[] = {".", ",", "", "::"};
    for (int round = 0; round < kRounds; ++round) {
        // Sizes from a few bytes up to the largest doubles, of both signs.
        const double size = std::ldexp(static_cast<double>(gen.Next()) / 4294967296.0,
                                       static_cast<int>(gen.Below(1024))) *
                            (gen.Below(10) == 0 ? -1 : 1);
        const std::string& sep = separators[gen.Below(4)];
        const std::string text = destination::RequiredSizeText(size, sep);
        char expected[400];
        std::snprintf(expected, sizeof expected, "%8.2f", size * 0.000001);
        std::string want = expected;
        want.replace(want.find('.'), 1, sep);
        ASSERT_EQ(text, want + " MB") << "size " << size;
    }
}

TEST(FuzzInstaller, TargetFileNameIsAPlainNameAndKeepsTheExtension) {
    Generator gen(5);
    for (int round = 0; round < kRounds; ++round) {
        std::string expanded = gen.Text(600);
        if (gen.Coin())
            expanded = "C:\\MEDIUM\\" + expanded;
        const std::string name = installer::TargetFileName(expanded);
        ASSERT_EQ(name.find_first_of("\\:"), std::string::npos) << round;
        const std::size_t sep = expanded.find_last_of("\\:");
        const std::string part = sep == std::string::npos ? expanded : expanded.substr(sep + 1);
        const std::size_t dot = part.rfind('.');
        // At most the four characters from the first dot go, and the extension comes back.
        ASSERT_LE(name.size(), part.size() + (dot == std::string::npos ? 0 : part.size() - dot))
            << round;
        if (dot == std::string::npos) {
            ASSERT_EQ(name, part) << round;
        } else {
            const std::string ext = part.substr(dot);
            ASSERT_GE(name.size(), ext.size()) << round;
            ASSERT_EQ(name.substr(name.size() - ext.size()), ext) << round;
            // A stem, a dot and an extension of up to three characters come back unchanged.
            if (part.find('.') == dot && part.size() - dot <= 4) {
                ASSERT_EQ(name, part) << round;
            }
        }
    }
}

TEST(FuzzInstaller, SourceFolderAlwaysEndsInABackslash) {
    Generator gen(6);
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::string> args(gen.Below(4));
        for (std::string& a : args) {
            a = gen.Text(400);
            if (gen.Below(4) == 0)
                a = "/" + a;
        }
        const std::string program = gen.Text(400);
        const std::string source = installer::SourceFolder(args, program);
        ASSERT_FALSE(source.empty());
        ASSERT_EQ(source.back(), '\\') << round;
        std::string taken = args.empty() ? "" : args[0];
        if (!taken.empty() && taken[0] == '/')
            taken = args.size() > 1 ? args[1] : "";
        if (taken.empty())
            taken = installer::FolderOf(program);
        ASSERT_EQ(source, installer::WithBackslash(taken)) << round;
        ASSERT_EQ(source.substr(0, taken.size()), taken) << round;
    }
}

TEST(FuzzInstaller, BandPlanCoversAnyHeightWithAtMost64FallingBands) {
    Generator gen(7);
    std::vector<int> heights = {INT_MIN, -1, 0, 1, 63, 64, 65, 278, 32767, INT_MAX - 1, INT_MAX};
    for (int round = 0; round < 2000; ++round)
        heights.push_back(gen.Below(4) == 0 ? static_cast<int>(gen.Next())
                                            : static_cast<int>(gen.Below(100000)));
    for (int height : heights) {
        const std::vector<installer::Band> bands = installer::BandPlan(height);
        if (height <= 0) {
            ASSERT_TRUE(bands.empty()) << height;
            continue;
        }
        ASSERT_FALSE(bands.empty()) << height;
        ASSERT_LE(bands.size(), 64u) << height;
        const int h = height / 64 + 1;
        for (std::size_t i = 0; i < bands.size(); ++i) {
            ASSERT_EQ(bands[i].top, static_cast<long long>(i) * h) << height;
            ASSERT_EQ(bands[i].height, h) << height;
            ASSERT_EQ(bands[i].level, 255 - 4 * static_cast<int>(i)) << height;
        }
        // The last band reaches the bottom edge.
        ASSERT_GE(static_cast<long long>(bands.back().top) + h, height) << height;
    }
}

TEST(FuzzProgman, BuildersKeepTheirLimitsAndLeaveTheOutputAloneWhenTooLong) {
    Generator gen(8);
    for (int round = 0; round < kRounds; ++round) {
        const std::string a = gen.Text(600), b = gen.Text(600), c = gen.Text(300),
                          d = gen.Text(300);
        std::string out = "untouched";
        auto check = [&](bool ok, bool fits, std::size_t limit, const std::string& want) {
            ASSERT_EQ(ok, fits && want.size() <= limit) << round;
            ASSERT_EQ(out, ok ? want : std::string("untouched")) << round;
            out = "untouched";
        };
        const bool aFits = a.size() <= progman::kPieceMax, bFits = b.size() <= progman::kPieceMax;
        check(progman::BuildCreateGroup(a, out), aFits, progman::kCommandMax,
              "[CreateGroup(" + a + ")]");
        const int show = static_cast<int>(gen.Next());
        check(progman::BuildShowGroup(a, show, out), aFits, progman::kCommandMax,
              "[ShowGroup(" + a + "," + std::to_string(show) + ")]");
        check(progman::BuildReplaceItem(a, out), aFits, progman::kCommandMax,
              "[ReplaceItem(\"" + a + "\")]");
        const std::string icon = gen.Coin() ? std::string() : c;
        const std::string index = gen.Coin() ? std::string() : d;
        std::string add = "[AddItem(\"" + a + "\",\"" + b + "\"";
        if (!icon.empty() || !index.empty())
            add += ",\"" + icon + "\"";
        if (!index.empty())
            add += "," + index;
        add += ")]";
        check(progman::BuildAddItem(a, b, icon, index, out),
              aFits && bFits && icon.size() <= progman::kPieceMax &&
                  index.size() <= progman::kPieceMax,
              progman::kAddItemMax, add);

        std::vector<std::string> commands = {"untouched"};
        const bool ok = progman::BuildGroupCommands(a, b, commands);
        if (!ok) {
            ASSERT_EQ(commands, std::vector<std::string>{"untouched"}) << round;
            continue;
        }
        ASSERT_EQ(commands.size(), 8u) << round;
        for (std::size_t i = 0; i < commands.size(); ++i)
            ASSERT_LE(commands[i].size(),
                      i % 2 && i > 1 ? progman::kAddItemMax : progman::kCommandMax)
                << round;
    }
}

TEST(FuzzRegistration, FileTypeWritesNameOnlyDotlessKeys) {
    Generator gen(9);
    for (int round = 0; round < kRounds; ++round) {
        const std::string ext = gen.Text(300), type = gen.Text(100), desc = gen.Text(100),
                          icon = gen.Coin() ? std::string() : gen.Text(100),
                          command = gen.Text(400);
        const std::string bare = registration::StripDots(ext);
        ASSERT_EQ(bare.find('.'), std::string::npos);
        const auto writes = registration::FileTypeWrites(ext, type, desc, icon, command);
        if (bare.empty() || command.empty()) {
            ASSERT_TRUE(writes.empty()) << round;
            continue;
        }
        const std::string typeName = type.empty() ? bare + "_auto_file" : type;
        ASSERT_EQ(writes.size(), icon.empty() ? 3u : 4u) << round;
        ASSERT_EQ(writes.front(), (registration::DefaultValue{"." + bare, typeName})) << round;
        ASSERT_EQ(writes[1], (registration::DefaultValue{typeName, desc})) << round;
        ASSERT_EQ(writes.back(), (registration::DefaultValue{typeName + "\\shell\\open\\command",
                                                             command + " %1"}))
            << round;
    }
}

} // namespace
