#pragma once
// A main window under test: made and shown on a start file, its error boxes
// collected in errors instead of shown, a folder of its own for the files a
// test writes. The window goes before the error boxes are shown again.

#include "app/JokeView.h"
#include "app/Main.h"
#include "platform/AppError.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousSink = SetErrorBoxSink([this](const QString &text) { errors.append(text); });
    }
    void TearDown() override
    {
        window.reset();
        SetErrorBoxSink(previousSink);
    }
    // Makes the window on startFile (the settings' file when empty), lets
    // BeforeShow fit it out, and shows it.
    void Start(const QString &startFile = QString())
    {
        window = std::make_unique<Tfrm_Main>(startFile);
        BeforeShow(*window);
        window->show();
        QCoreApplication::processEvents();
    }
    virtual void BeforeShow(Tfrm_Main &) {}
    // The widget of joke k, brought into view first.
    TViccPanel *PanelOf(int k)
    {
        window->sbxMain->SetScrollPosition(window->sbxMain->Joke(k).top);
        return window->sbxMain->LivePanel(k);
    }

    QTemporaryDir tmp;
    std::unique_ptr<Tfrm_Main> window;
    QStringList errors;

private:
    ErrorBoxSink previousSink;
};
