// GDI from several threads at once: the object table stays consistent, stale handles from
// another thread are refused, and text renders the same on any thread.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using gditest::Canvas;

namespace {

// Runs the bodies on their own threads; a run that outlives the deadline is a hang, which
// no join could end, so the program fails at once.
void RunConcurrently(const std::vector<std::function<void()>>& bodies,
                     std::chrono::seconds deadline = std::chrono::seconds(60)) {
    std::mutex mutex;
    std::condition_variable done;
    std::size_t finished = 0;
    std::vector<std::thread> threads;
    for (const auto& body : bodies) {
        threads.emplace_back([&, body] {
            body();
            std::lock_guard lock(mutex);
            ++finished;
            done.notify_all();
        });
    }
    {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, deadline, [&] { return finished == bodies.size(); })) {
            std::fprintf(stderr, "threads still running after the deadline\n");
            std::abort();
        }
    }
    for (std::thread& t : threads) {
        t.join();
    }
}

TEST(Threads, ObjectTableSurvivesConcurrentChurn) {
    std::atomic<int> failures{0};
    auto churn = [&](int seed) {
        for (int i = 0; i < 400; ++i) {
            const int w = 8 + (seed + i) % 17;
            Canvas src(w, 9, (i % 3 == 0) ? 8 : 32);
            src.Fill(static_cast<std::uint32_t>(seed));
            HDC mem = CreateCompatibleDC(nullptr);
            HBITMAP bitmap = CreateCompatibleBitmap(mem, 5, 5);
            HBRUSH brush = CreateSolidBrush(RGB(seed, i % 256, 7));
            HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
            HGDIOBJ oldBrush = SelectObject(mem, brush);
            SetStretchBltMode(mem, (i % 2) ? HALFTONE : COLORONCOLOR);
            const bool ok = oldBitmap && oldBrush && PatBlt(mem, 0, 0, 5, 5, PATCOPY) &&
                            StretchBlt(mem, 4, 0, -5, 5, src.dc(), 0, 0, w, 9, SRCCOPY);
            SelectObject(mem, oldBrush);
            SelectObject(mem, oldBitmap);
            if (!ok || !DeleteObject(brush) || !DeleteObject(bitmap) || !DeleteDC(mem)) {
                ++failures;
            }
        }
    };
    RunConcurrently({[&] { churn(1); }, [&] { churn(2); }, [&] { churn(3); }, [&] { churn(4); }});
    EXPECT_EQ(failures.load(), 0);
}

TEST(Threads, HandlesDeletedByAnotherThreadAreRefusedNotFollowed) {
    std::atomic<HBITMAP> published{nullptr};
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    auto producer = [&] {
        HDC screen = GetDC(nullptr);
        for (int i = 0; i < 3000; ++i) {
            HBITMAP b = CreateCompatibleBitmap(screen, 3 + i % 5, 3);
            published.store(b);
            DeleteObject(b);
        }
        ReleaseDC(nullptr, screen);
        stop.store(true);
    };
    auto consumer = [&] {
        Canvas probe(2, 2);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        std::vector<std::uint8_t> rows(4096);
        while (!stop.load()) {
            HBITMAP b = published.load();
            BITMAP bm{};
            const int size = GetObjectW(b, sizeof bm, &bm);
            if (size != 0 && (bm.bmHeight != 3 || bm.bmWidth < 3 || bm.bmWidth > 7)) {
                ADD_FAILURE() << "a stale handle reached another bitmap";
            }
            bmi.bmiHeader.biBitCount = 0;
            if (GetDIBits(probe.dc(), b, 0, 3, nullptr, &bmi, DIB_RGB_COLORS) != 0) {
                bmi.bmiHeader.biBitCount = 32;
                bmi.bmiHeader.biHeight = 3;
                GetDIBits(probe.dc(), b, 0, 3, rows.data(), &bmi, DIB_RGB_COLORS);
            }
            answered.fetch_add(size != 0 ? 1 : 0);
        }
    };
    RunConcurrently({producer, consumer});
    SUCCEED() << answered.load() << " lookups found a live bitmap";
}

TEST(Threads, PrintingAndPaintingOneBitmapUnderTheCallersLock) {
    // The text window's pattern: one thread draws text into a memory DC while another copies
    // the same bitmap out to the window; the window's own lock keeps them apart.
    Canvas text(64, 16);
    SelectObject(text.dc(), GetStockObject(OEM_FIXED_FONT));
    SetTextColor(text.dc(), RGB(255, 255, 255));
    SetBkColor(text.dc(), RGB(0, 0, 0));
    Canvas screen(64, 16);
    std::mutex bitmapLock;
    std::atomic<bool> printing{true};
    auto printer = [&] {
        for (int i = 0; i < 200; ++i) {
            std::lock_guard lock(bitmapLock);
            const wchar_t line[] = {static_cast<wchar_t>(L'A' + i % 26), L'あ'};
            TextOutW(text.dc(), 0, 0, line, 2);
        }
        printing.store(false);
    };
    auto painter = [&] {
        while (printing.load()) {
            std::lock_guard lock(bitmapLock);
            BitBlt(screen.dc(), 0, 0, 64, 16, text.dc(), 0, 0, SRCCOPY);
        }
        std::lock_guard lock(bitmapLock);
        BitBlt(screen.dc(), 0, 0, 64, 16, text.dc(), 0, 0, SRCCOPY);
    };
    RunConcurrently({printer, painter});
    EXPECT_EQ(screen.All(), text.All());
}

TEST(Threads, TextRendersTheSameOnEveryThread) {
    const wchar_t* sample = L"Thread テキスト 123";
    const int length = static_cast<int>(std::wcslen(sample));
    auto render = [&](Canvas& c) {
        HFONT font =
            CreateFontW(16, 8, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Gothic");
        HGDIOBJ old = SelectObject(c.dc(), font);
        c.Fill(0);
        TextOutW(c.dc(), 1, 1, sample, length);
        SelectObject(c.dc(), old);
        DeleteObject(font);
    };
    Canvas reference(200, 20);
    render(reference);
    std::atomic<int> mismatches{0};
    auto worker = [&] {
        Canvas mine(200, 20);
        for (int i = 0; i < 40; ++i) {
            render(mine);
            if (mine.All() != reference.All()) {
                ++mismatches;
            }
        }
    };
    RunConcurrently({worker, worker, worker});
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_NE(reference.All(), std::vector<std::uint32_t>(200 * 20, 0));
}

} // namespace
