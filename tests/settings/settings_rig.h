#pragma once
// The program's objects on the shipped map for a settings test: a registry
// file, a program folder and "\My Documents" of the test's own, an empty
// system root (no radio, no device model), every process object of the
// start-up list, and the map controller attached to Voradu.
// Also a byte writer for settings files written by hand from the file's table.
#include "app/process_objects.h"
#include "controls/command_registry.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/scale_list.h"
#include "nav/map_controller.h"
#include "platform/archive.h"
#include "platform/system_files.h"
#include "settings/settings_body.h"
#include "settings/settings_file.h"
#include "tests/app/app_rig.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>

namespace settingstest {

class SettingsProgram {
public:
    explicit SettingsProgram(QSize screen = QSize(240, 320))
        : rig(screen)
    {
        // The record's value that the defaults leave alone starts afresh in each test.
        g_reservedSetting = 0;
        FillScaleList();
        // The commands' names and pictures, as the program's start-up gives them.
        g_CommandRegistry->Init();
        attached = g_MapController->Attach(g_drawTool.get()) == 1 && g_MapController->OpenView() == 1;
    }

    // A path in the test's "\My Documents" as the device names it, and as a local file.
    static QString DevicePath(const QString& name) { return QStringLiteral("\\My Documents\\") + name; }
    QString LocalPath(const QString& name) { return rig.Folder().Documents() + QLatin1Char('/') + name; }

    // Every option as the settings file would hold it now.
    static QByteArray BodyBytes()
    {
        platform::Archive archive;
        g_settingsFile->WriteBody(archive);
        return QByteArray(
            reinterpret_cast<const char*>(archive.Data().data()), qsizetype(archive.Data().size()));
    }

    apptest::AppRig rig;
    // No radio and no model of this machine: the defaults are those of "Manual settings".
    QTemporaryDir systemRoot;
    platform::ScopedSystemRoot scopedRoot { systemRoot.path() };
    CProcessObjects objects;
    bool attached = false;
};

// Little-endian fields, written one at a time as a settings file's table lists them.
class HandFile {
public:
    HandFile& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    HandFile& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.append(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
    HandFile& U16(uint16_t v)
    {
        bytes.append(char(v & 0xFF));
        bytes.append(char(v >> 8));
        return *this;
    }
    HandFile& U8(uint8_t v)
    {
        bytes.append(char(v));
        return *this;
    }
    HandFile& U64(uint64_t v)
    {
        U32(uint32_t(v));
        return U32(uint32_t(v >> 32));
    }
    HandFile& F64(double v) { return U64(std::bit_cast<uint64_t>(v)); }
    // The archive's string: FF, FE FF, a one-byte length (the texts here are
    // short), UTF-16LE.
    HandFile& Str(const QString& text)
    {
        U8(0xFF).U16(0xFFFE).U8(uint8_t(text.size()));
        for (const QChar c : text)
            U16(c.unicode());
        return *this;
    }
    HandFile& Raw(std::initializer_list<int> values)
    {
        for (const int v : values)
            bytes.append(char(v));
        return *this;
    }

    QByteArray bytes;
};

} // namespace settingstest
