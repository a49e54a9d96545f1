#include "common/CBuffer.h"

#include <cstdlib>
#include <cstring>

#include "common/Guard.h"

CBuffer::CBuffer() : m_text(nullptr), m_size(0) {}

CBuffer::CBuffer(unsigned int n) : m_text(nullptr), m_size(0)
{
    if (n == 0)
        return;
    m_text = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(n) * sizeof(wchar_t)));
    if (!m_text)
        throw CSystemException{Tolvane::kStringFailure};
    m_size = n;
}

CBuffer::~CBuffer()
{
    Release();
}

void CBuffer::Release()
{
    std::free(m_text);
    m_text = nullptr;
    m_size = 0;
}

namespace {

// Removes the character at index i of a buffer of size characters.
void RemoveAt(wchar_t* text, unsigned int& size, unsigned int i)
{
    std::memmove(text + i, text + i + 1, (size - i - 1) * sizeof(wchar_t));
    --size;
}

} // namespace

void CBuffer::RemoveChar(wchar_t ch)
{
    RUN_GUARDED(Tolvane::kBufferFailure, [&] {
        for (unsigned int i = 0; i < m_size; ++i) {
            if (m_text[i] == ch) {
                RemoveAt(m_text, m_size, i);
                return;
            }
        }
    }, [] {});
}

void CBuffer::RemoveAllChars(wchar_t ch)
{
    RUN_GUARDED(Tolvane::kBufferFailure, [&] {
        unsigned int i = 0;
        while (i < m_size) {
            if (m_text[i] == ch)
                RemoveAt(m_text, m_size, i);
            else
                ++i;
        }
    }, [] {});
}
