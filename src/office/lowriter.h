#pragma once

#include "office/spreadsheet.h"
#include "office/wordprocessor.h"

#include <memory>

namespace zs {

class UnoSession;
std::unique_ptr<WordInstance> makeLoWordInstance(std::shared_ptr<UnoSession> session);
std::unique_ptr<SpreadsheetInstance> makeLoSpreadsheetInstance(std::shared_ptr<UnoSession> session);

}  // namespace zs
