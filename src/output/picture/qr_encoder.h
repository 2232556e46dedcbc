// The QR encoder of the system's libqrcodegencpp. Debian 11 names its header QrCode.hpp, later releases
// qrcodegen.hpp; the classes are the same.
#pragma once

#if __has_include(<qrcodegen.hpp>)
#include <qrcodegen.hpp>
#else
#include <QrCode.hpp>
#endif
