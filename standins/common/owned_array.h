// OwnedArray: a heap array that frees itself, for the stand-ins' file and text
// buffers. It always keeps one zero element past Size(), so text in it is
// zero-terminated. Allocation never throws: a failure is the result 0.
#pragma once

#include <cstddef>
#include <new>

namespace standin {

template <typename T> class OwnedArray {
public:
    OwnedArray() : data_(nullptr), size_(0) {}
    ~OwnedArray() { delete[] data_; }
    OwnedArray(const OwnedArray &) = delete;
    OwnedArray &operator=(const OwnedArray &) = delete;

    // Replaces the contents with `size` zero elements. On failure the array is
    // left empty.
    int Allocate(size_t size)
    {
        Reset();
        if (size >= static_cast<size_t>(-1) / sizeof(T) - 1) return 0;
        data_ = new (std::nothrow) T[size + 1]();
        if (!data_) return 0;
        size_ = size;
        return 1;
    }

    // Keeps the first `size` elements (never grows) and re-terminates them.
    void Truncate(size_t size)
    {
        if (!data_ || size > size_) return;
        size_ = size;
        data_[size_] = T();
    }

    void Reset()
    {
        delete[] data_;
        data_ = nullptr;
        size_ = 0;
    }

    // Hands the array (Size() + 1 elements, allocated with new[]) to the caller.
    T *Release()
    {
        T *data = data_;
        data_ = nullptr;
        size_ = 0;
        return data;
    }

    void Swap(OwnedArray &other)
    {
        T *data = data_;
        size_t size = size_;
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = data;
        other.size_ = size;
    }

    T *Data() { return data_; }
    const T *Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    T *data_;
    size_t size_;
};

}  // namespace standin
