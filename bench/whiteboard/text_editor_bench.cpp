#include "whiteboard/canvas/inline_text_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace zentrel;

namespace {

// A text of one word of `bytes` letters in a 400-point box at 100 %, as a double-click opens it.
std::unique_ptr<InlineTextEditor> openEditor(QWidget &canvas, std::size_t bytes)
{
    TextEditorPlacement placement;
    placement.sceneWidth = 400;
    placement.fontSize = 20;
    placement.text = std::string(bytes, 'a');
    const TextEditorFrame frame = textEditorFrame(placement, WhiteboardViewport{1, {}});
    auto editor = std::make_unique<InlineTextEditor>(placement, frame, Qt::black, &canvas);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
    editor->fitToText();
    return editor;
}

// budget: < 1 s to open on the largest text, shown for 30 KB, 128 KiB and 1 MB
void BM_TextEditor_Open(benchmark::State &state)
{
    QWidget canvas;
    canvas.resize(1920, 1080);
    for (auto _ : state) {
        auto editor = openEditor(canvas, std::size_t(state.range(0)));
        benchmark::DoNotOptimize(editor.get());
    }
}

BENCHMARK(BM_TextEditor_Open)
    ->Arg(30'000)
    ->Arg(128 * 1024)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// budget: < 50 ms for a typed letter, its layout and the editor's new height, at the word's end
void BM_TextEditor_Keystroke(benchmark::State &state)
{
    QWidget canvas;
    canvas.resize(1920, 1080);
    auto editor = openEditor(canvas, std::size_t(state.range(0)));
    editor->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QCoreApplication::sendEvent(editor.get(), &press);
        benchmark::DoNotOptimize(editor->height());
    }
}

BENCHMARK(BM_TextEditor_Keystroke)
    ->Arg(30'000)
    ->Arg(128 * 1024)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// One word of `bytes` letters pasted into an editor opened on a short text, the caret after it.
std::unique_ptr<InlineTextEditor> pasteInto(QWidget &canvas, std::size_t bytes)
{
    auto editor = openEditor(canvas, 5);
    editor->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QString(qsizetype(bytes), u'p'));
    editor->paste();
    return editor;
}

// budget: < 1 s to paste the largest text, its layout and the editor's new height
void BM_TextEditor_Paste(benchmark::State &state)
{
    QWidget canvas;
    canvas.resize(1920, 1080);
    for (auto _ : state) {
        auto editor = pasteInto(canvas, std::size_t(state.range(0)));
        benchmark::DoNotOptimize(editor->height());
    }
}

BENCHMARK(BM_TextEditor_Paste)->Arg(128 * 1024)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// budget: < 50 ms for a typed letter after the pasted word, as after opening on it
void BM_TextEditor_KeystrokeAfterPaste(benchmark::State &state)
{
    QWidget canvas;
    canvas.resize(1920, 1080);
    auto editor = pasteInto(canvas, std::size_t(state.range(0)));
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QCoreApplication::sendEvent(editor.get(), &press);
        benchmark::DoNotOptimize(editor->height());
    }
}

BENCHMARK(BM_TextEditor_KeystrokeAfterPaste)
    ->Arg(128 * 1024)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

} // namespace
