#include "support/TestSounds.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<SoundLog> &CurrentLog()
{
    static std::shared_ptr<SoundLog> log = std::make_shared<SoundLog>();
    return log;
}

std::unique_ptr<QTemporaryDir> &CurrentConfig()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

void FreshConfigHome()
{
    CurrentConfig() = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(CurrentConfig()->path()));
}

class PerTestIsolation : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        FreshConfigHome();
        *CurrentLog() = SoundLog();
    }
};

} // namespace

void InstallTestIsolation()
{
    SetSoundOutputFactory([] { return std::make_unique<RecordingSoundOutput>(CurrentLog()); });
    FreshConfigHome();
    ::testing::UnitTest::GetInstance()->listeners().Append(new PerTestIsolation);
}

SoundLog &TestSoundLog()
{
    return *CurrentLog();
}

QString TestConfigHome()
{
    return CurrentConfig()->path();
}
