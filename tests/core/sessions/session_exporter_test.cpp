#include "sessions/session_exporter.h"

#include "core/sessions/session_store_test_support.h"
#include "fakes/folder_names.h"

#include <gmock/gmock.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <regex>

namespace zentrel {
namespace {

using testing::ElementsAre;

// The output of a command, or nothing when it could not run or failed.
std::optional<std::string> run(const std::string &command)
{
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return std::nullopt;
    }
    std::string output;
    char buffer[4096];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
        output.append(buffer, count);
    }
    if (::pclose(pipe.release()) != 0) {
        return std::nullopt;
    }
    return output;
}

// "W x H" of every page, as poppler's pdfinfo reports them.
std::vector<std::string> pageSizes(const std::filesystem::path &pdf)
{
    const auto output = run("pdfinfo -f 1 -l 9999 '" + pdf.string() + "' 2>&1");
    std::vector<std::string> sizes;
    if (!output) {
        return sizes;
    }
    const std::regex pageLine(R"(Page +\d+ size: +(\d+) x (\d+) pts)");
    for (std::sregex_iterator match(output->begin(), output->end(), pageLine), end; match != end;
         ++match) {
        sizes.push_back((*match)[1].str() + " x " + (*match)[2].str());
    }
    return sizes;
}

// The colour of one pixel of the first page, rendered at one pixel per point.
std::optional<Rgba> renderedPixel(const std::filesystem::path &pdf, int x, int y)
{
    const auto ppm = run("pdftoppm -r 72 -f 1 -l 1 '" + pdf.string() + "' 2>/dev/null");
    if (!ppm) {
        return std::nullopt;
    }
    int width = 0;
    int height = 0;
    int maximum = 0;
    int headerLength = 0;
    if (std::sscanf(ppm->c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &headerLength) != 3) {
        return std::nullopt;
    }
    const std::size_t at = std::size_t(headerLength + 1) + std::size_t(y * width + x) * 3;
    if (at + 3 > ppm->size()) {
        return std::nullopt;
    }
    return Rgba{
        std::uint8_t((*ppm)[at]), std::uint8_t((*ppm)[at + 1]), std::uint8_t((*ppm)[at + 2]), 255};
}

class SessionExporterTest : public SessionStoreTest
{
protected:
    SessionDocument sessionWith(const std::vector<std::string> &pngs)
    {
        SessionDocument session = store.createSession("Export").value();
        for (const std::string &png : pngs) {
            session = store.addFrame(png, SessionFrameSource::whiteboard).value();
        }
        return session;
    }

    void removeFrameFile(const SessionDocument &session, std::size_t index)
    {
        std::filesystem::remove(*store.frameFile(session.id, session.frames[index]));
    }

    SessionExporter exporter;
};

TEST_F(SessionExporterTest, EmptySessionWritesNothing)
{
    const SessionDocument session = store.createSession("Empty").value();
    for (const auto &result : {exporter.exportPNGs(session, store, folder / "out"),
                               exporter.exportPDF(session, store, folder / "out.pdf")}) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(message(result.error()), "The session does not contain any frames.");
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
}

TEST_F(SessionExporterTest, PngFilesAreNumberedByPositionAndSkipUnreadableFrames)
{
    const SessionDocument session = sessionWith({rgbPng(2, 2), rgbPng(3, 3), rgbPng(4, 4)});
    removeFrameFile(session, 1);
    const auto result = exporter.exportPNGs(session, store, folder / "out");
    ASSERT_TRUE(result.has_value()) << message(result.error());
    const std::string name1 = "001-whiteboard-" + session.frames[0].id.text() + ".png";
    const std::string name3 = "003-whiteboard-" + session.frames[2].id.text() + ".png";
    EXPECT_THAT(result->written, ElementsAre(folder / "out" / name1, folder / "out" / name3));
    EXPECT_THAT(result->skipped, ElementsAre(session.frames[1].id.text() + ".png"));
    EXPECT_EQ(readFileIfPresent(folder / "out" / name3).value().value(), rgbPng(4, 4));
}

TEST_F(SessionExporterTest, IndexWidthFollowsTheFrameCount)
{
    SessionDocument session = sessionWith({rgbPng(2, 2)});
    const SessionFrame only = session.frames.front();
    session.frames.assign(1000, only);
    const auto result = exporter.exportPNGs(session, store, folder / "out");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->written.front().filename().string().substr(0, 5), "0001-");
    EXPECT_EQ(result->written.back().filename().string().substr(0, 5), "1000-");
}

TEST_F(SessionExporterTest, EveryFrameUnreadableNamesThemAll)
{
    const SessionDocument session = sessionWith({rgbPng(2, 2), rgbPng(2, 2)});
    removeFrameFile(session, 0);
    removeFrameFile(session, 1);
    const std::string expected = "The session frame \u201C" + session.frames[0].id.text() + ".png, "
                                 + session.frames[1].id.text() + ".png\u201D could not be read.";
    for (const auto &result : {exporter.exportPNGs(session, store, folder / "out"),
                               exporter.exportPDF(session, store, folder / "out.pdf")}) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(message(result.error()), expected);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
}

TEST_F(SessionExporterTest, AFailedPdfSaysWhyAndLeavesNothing)
{
    const SessionDocument session = sessionWith({rgbPng(2, 2)});
    const auto reasonFor = [&](const std::filesystem::path &file) {
        const auto result = exporter.exportPDF(session, store, file);
        return result ? std::string("written") : message(result.error());
    };
    const std::filesystem::path unreachable = folder / "missing" / "Talk.pdf";
    EXPECT_EQ(reasonFor(unreachable),
              "The session PDF could not be created: Could not write \"" + unreachable.string()
                  + "\": No such file or directory");
    std::filesystem::create_directory(folder / "Taken.pdf");
    EXPECT_EQ(reasonFor(folder / "Taken.pdf"),
              "The session PDF could not be created: Could not write \""
                  + (folder / "Taken.pdf").string() + "\": Is a directory");
    EXPECT_THAT(namesIn(folder.path()), ElementsAre("Sessions", "Taken.pdf"));

    // Past the size the system lets this process write, as on a full disk.
    const auto exportTooLarge = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{256, 256};
        ::setrlimit(RLIMIT_FSIZE, &small);
        std::fputs(reasonFor(folder / "Large.pdf").c_str(), stderr);
        std::_Exit(namesIn(folder.path()).size() == 2 ? 0 : 1);
    };
    EXPECT_EXIT(exportTooLarge(),
                testing::ExitedWithCode(0),
                "^The session PDF could not be created: Could not write \".*/Large\\.pdf\": "
                "File too large$");
}

TEST_F(SessionExporterTest, PdfHasOnePagePerReadableFrameAtItsOwnSize)
{
    PngFixture translucent;
    translucent.colorType = 6;
    translucent.width = 30;
    translucent.height = 20;
    translucent.samples = [](std::uint32_t, std::uint32_t) {
        return std::vector<std::uint8_t>{0, 0, 255, 128};
    };
    const SessionDocument session =
        sessionWith({rgbPng(40, 25), rgbPng(5, 5), translucent.encode(), rgbPng(64, 48)});
    removeFrameFile(session, 1);
    const std::filesystem::path pdf = folder / "deck.pdf";
    const auto result = exporter.exportPDF(session, store, pdf);
    ASSERT_TRUE(result.has_value()) << message(result.error());
    EXPECT_THAT(result->written, ElementsAre(pdf));
    EXPECT_THAT(result->skipped, ElementsAre(session.frames[1].id.text() + ".png"));
    EXPECT_THAT(pageSizes(pdf), ElementsAre("40 x 25", "30 x 20", "64 x 48"));
}

TEST_F(SessionExporterTest, PdfShowsThePixelsOfPassedThroughAndDecodedFrames)
{
    PngFixture filtered;
    filtered.width = 16;
    filtered.height = 8;
    filtered.subFilter = true;
    filtered.samples = [](std::uint32_t x, std::uint32_t y) {
        // Blocks of 4 by 4, so smoothing at the edges leaves the middles alone.
        return std::vector<std::uint8_t>{std::uint8_t(x / 4 * 60), std::uint8_t(y / 4 * 80), 77};
    };
    PngFixture interlaced = filtered;
    interlaced.interlaced = true;
    for (const PngFixture &fixture : {filtered, interlaced}) {
        const SessionDocument session = sessionWith({fixture.encode()});
        const std::filesystem::path pdf = folder / "pixels.pdf";
        ASSERT_TRUE(exporter.exportPDF(session, store, pdf).has_value());
        const auto pixel = renderedPixel(pdf, 9, 5);
        ASSERT_TRUE(pixel.has_value()) << "pdftoppm could not render the PDF";
        EXPECT_NEAR((*pixel)[0], 120, 2);
        EXPECT_NEAR((*pixel)[1], 80, 2);
        EXPECT_NEAR((*pixel)[2], 77, 2);
    }
}

} // namespace
} // namespace zentrel
