#pragma once

#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

// Widget tests of the shell start from an empty settings store and leave one.
class ShellTest : public ::testing::Test {
protected:
    ShellTest() { clear(); }
    ~ShellTest() override { clear(); }

    static void clear()
    {
        QSettings settings("Zolva", "Zolva Reader");
        for (const char* group : {"Settings", "ToolbarDockState", "Recent File List"})
            settings.remove(group);
    }
    static void set(const char* key, const QString& text)
    {
        QSettings("Zolva", "Zolva Reader").setValue(QString("Settings/") + key, text);
    }
    static QString get(const char* key)
    {
        return QSettings("Zolva", "Zolva Reader").value(QString("Settings/") + key).toString();
    }
};
