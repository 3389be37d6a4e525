#pragma once
// A drive in its loader state: it answers with the loader's model name, or
// shows the loader's capacity of less than 4 MB (of 2^20 bytes).

#include <QLatin1String>
#include <QString>

inline bool isLoaderState(const QString& model, double capacityGB)
{
    return model == QLatin1String("Generic FCR SATA Loader Loader Device") || capacityGB * 1024 < 4;
}
