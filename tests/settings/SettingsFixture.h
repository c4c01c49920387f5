// Points the per-user settings store at a fresh temporary folder for each test.
#pragma once

#include "settings/ProfileStore.h"
#include "settings/ProgramParams.h"
#include "tests/TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        OpenStore();
    }
    void TearDown() override { CProfileStore::SetActive(nullptr); }

    // A new store object reads the file afresh, as the next program start would.
    void OpenStore() {
        CProfileStore::SetActive(nullptr);
        store = std::make_unique<CProfileStore>(QStringLiteral("NRX ProductGroup"), QStringLiteral("NRX MediaPlayer"));
        CProfileStore::SetActive(store.get());
    }

    // Replaces the settings file with hand-written text, as a user or another program might leave it.
    void WriteRawFile(const QByteArray& text) {
        const QString path = store->FileName();
        store.reset();
        CProfileStore::SetActive(nullptr);
        ASSERT_TRUE(WriteFile(path, text));
        OpenStore();
    }

    QSettings ReadBack() const {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NRX ProductGroup"),
                         QStringLiteral("NRX MediaPlayer"));
    }

    QTemporaryDir dir;
    std::unique_ptr<CProfileStore> store;
};
