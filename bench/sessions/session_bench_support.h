#pragma once

#include "common/clock.h"
#include "fakes/temporary_directory.h"
#include "sessions/session_store.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace zentrel {

// A full-HD frame that compresses like a screen: flat panels, text and a photo-like corner.
inline std::string screenLikePng()
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(QColor(0xf2, 0xf2, 0xf2));
    QPainter painter(&image);
    for (int panel = 0; panel < 6; ++panel) {
        painter.fillRect(60 + panel * 300, 120, 260, 800, QColor::fromHsv(panel * 50, 40, 230));
    }
    painter.setPen(Qt::black);
    for (int line = 0; line < 40; ++line) {
        painter.drawText(
            80, 150 + line * 20, QStringLiteral("Quarterly review, slide %1: notes").arg(line));
    }
    QRandomGenerator random(7);
    for (int y = 700; y < 1000; ++y) {
        for (int x = 1400; x < 1860; ++x) {
            image.setPixel(x, y, qRgb(int(random.bounded(256)), 120, 180));
        }
    }
    painter.setPen(QPen(QColor(0x34, 0xc7, 0x59), 6));
    painter.drawLine(200, 300, 1600, 900);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A session folder tree in a temporary folder, removed when the value goes away.
class BenchSessions
{
public:
    BenchSessions()
        : m_store(m_folder.path(), m_clock, [this] {
            return Uuid::generate([this] { return ++m_draws; });
        })
    {}

    const SessionStore &store() const { return m_store; }

    const std::filesystem::path &root() const { return m_folder.path(); }

    // A session of `frames` copies of `png`, written directly rather than through addFrame.
    SessionDocument addSession(const std::string &png, int frames)
    {
        SessionDocument session = m_store.createSession("Bench").value();
        std::filesystem::create_directories(m_store.sessionFolder(session.id) / "Frames");
        for (int i = 0; i < frames; ++i) {
            const Uuid id = Uuid::generate([this] { return ++m_draws; });
            SessionFrame frame{id,
                               SessionFrameSource::drawing,
                               m_store.now(),
                               "Frames/" + id.text() + ".png",
                               1920,
                               1080};
            std::ofstream(*m_store.frameFile(session.id, frame), std::ios::binary) << png;
            session.frames.push_back(frame);
        }
        (void)m_store.saveManifest(session);
        return session;
    }

private:
    TemporaryDirectory m_folder;
    SystemClock m_clock;
    std::uint64_t m_draws = 0;
    SessionStore m_store;
};

// How far the process's resident memory rose at its peak above what it held when this was made:
// the peak of one benchmark, whatever ran before it. Writing 5 to clear_refs resets the peak to
// the current size (Linux 4.0 and later); memory freed by earlier benchmarks is given back to the
// system first, or the allocator would keep the process at their peak and hide this one's.
class PeakMemory
{
public:
    PeakMemory()
    {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        m_baseline = read("VmRSS:");
        // Where the reset is refused, the peak would be the whole run's.
        constexpr long long slack = 1024 * 1024;
        m_isReset = read("VmHWM:") - m_baseline < slack;
    }

    // Nothing where the peak could not be reset.
    std::optional<double> megabytesAbove() const
    {
        if (!m_isReset) {
            return std::nullopt;
        }
        return double(read("VmHWM:") - m_baseline) / (1024 * 1024);
    }

private:
    static long long read(const std::string &key)
    {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word) {
            if (word == key) {
                long long kilobytes = 0;
                status >> kilobytes;
                return kilobytes * 1024;
            }
        }
        return 0;
    }

    long long m_baseline = 0;
    bool m_isReset = false;
};

} // namespace zentrel
