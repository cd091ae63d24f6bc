#pragma once
// A main window whose every input box is recorded (RecordingInteraction), for the
// tests of the commands that ask questions. A prompt that keeps asking far beyond
// its script fails the test instead of hanging it.

#include "app/WindowFixture.h"
#include "chart/ChartView.h"
#include "support/RecordingInteraction.h"

class PromptedWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<kavra::MainWindow>(asker);
        window->Form_Load(QString());
    }
    void TearDown() override
    {
        window.reset();
        EXPECT_FALSE(asker.runaway) << "a prompt kept asking";
    }

    // A title that only a redraw puts on the chart: tells whether one happened.
    void armRedrawProbe() { window->state().chart.setTitle(kavra::TitleLine::Header, QString(probe()).toStdString()); }
    bool redrawnSinceProbe() { return window->chart().title(kavra::TitleLine::Header).text == probe(); }

    RecordingInteraction asker{ui};

private:
    static QString probe() { return QStringLiteral("Probe title, not yet redrawn"); }
};
