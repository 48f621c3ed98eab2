// The exchange formats and the dataset copy in one include: CSV and JSON import and
// export for TKelvaDataset, and copying records from any open dataset.
#pragma once

#include "kelva/dataset/exchange/CsvReader.h"
#include "kelva/dataset/exchange/CsvWriter.h"
#include "kelva/dataset/exchange/DatasetCopy.h"
#include "kelva/dataset/exchange/JsonReader.h"
#include "kelva/dataset/exchange/JsonWriter.h"
