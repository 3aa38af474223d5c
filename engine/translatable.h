#pragma once

// Marks a text that a user reads for translation, with the context it belongs
// to, in code that knows nothing of Qt: the text stays a plain literal here,
// Qt's lupdate finds it when run with
//   -tr-function-alias QT_TRANSLATE_NOOP+=WAITLINE_TR
// and the Qt front-end translates it in that context where it shows it.
#define WAITLINE_TR(context, text) text
