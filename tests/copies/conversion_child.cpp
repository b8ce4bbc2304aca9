// Converts an old-format journal in place and is killed at the step named,
// as a power cut would stop it: conversion_child filled|kept JOURNAL TEMPLATE
#include "legacy/journalconversion.h"

#include <QCoreApplication>

#include <csignal>

using namespace movilibro::legacy;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto stopAt = args.value(1) == u"filled" ? ConversionStep::Filled : ConversionStep::OriginalKept;
    setConversionStepHook([stopAt](ConversionStep step) {
        if (step == stopAt)
            std::raise(SIGKILL);
    });
    try {
        convertInPlace(args.value(2), args.value(3));
    } catch (const LegacyError&) {
        return 1;
    }
    return 0;
}
