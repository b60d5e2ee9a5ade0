# Precompiled headers: the Qt, GoogleTest and standard headers that nearly every file of a target
# includes are parsed once per target (or once per group of test programs) instead of once per file.
# They add declarations only; no source changes meaning.
set(ORVANE_PCH_STD <array> <functional> <memory> <optional> <string> <string_view> <vector>)
set(ORVANE_PCH_WIDGETS ${ORVANE_PCH_STD} <QImage> <QObject> <QPainter> <QPointer> <QString> <QWidget>)
set(ORVANE_PCH_TEST_GUI ${ORVANE_PCH_WIDGETS} <QApplication> <QTest> <QTimer> <gtest/gtest.h>)
set(ORVANE_PCH_TEST_CORE ${ORVANE_PCH_STD} <chrono> <filesystem> <thread> <gtest/gtest.h>)

# KIND is WIDGETS, TEST_GUI or TEST_CORE.
function(orvane_precompile target kind)
  target_precompile_headers(${target} PRIVATE ${ORVANE_PCH_${kind}})
endfunction()
