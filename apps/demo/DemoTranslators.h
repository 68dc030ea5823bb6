// The demo's own texts and Qt's (its file dialogs and standard buttons) in the
// user's language: the demo's from .ts files built with lrelease and compiled
// in, Qt's from where Qt keeps its translations. English needs none.
#pragma once

#include <QString>
#include <QTranslator>

class DemoTranslators {
  public:
    // Replaces the translators installed before; false when the demo has no
    // translation for the language (its texts then stay English).
    bool use(const QString& language);

  private:
    QTranslator own_;
    QTranslator qt_;
};
