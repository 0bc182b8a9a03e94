#include "print/CPrintHost.h"

#include <QGuiApplication>

QString CPrintHost::GetAppTitle() const { return QGuiApplication::applicationDisplayName(); }
