#include "workflow/ErrorText.h"

#include <exception>
#include <new>

#include "common/OutputFile.h"
#include "datasource/DatabaseError.h"

std::string CurrentErrorText()
{
    try {
        throw;
    } catch (const DatabaseError& e) {
        return e.FullText();
    } catch (const FileError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "Out-of-memory.";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Errors occurred.";
    }
}
