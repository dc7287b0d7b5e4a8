// Compresses files in blocks on worker threads. Blocks of one file are
// independent raw-deflate pieces (each primed with the 32 KiB before it and
// ended with a sync flush), so they concatenate into one valid stream.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fs.h"
#include "zip_format.h"

namespace wz {

inline constexpr uint64_t kBlockSize = 1024 * 1024;

struct BlockJob {
    std::shared_ptr<fs::InputFile> file;
    uint64_t offset = 0;
    uint64_t length = 0;
    bool last = false;   // last block of its file
    bool whole = false;  // the file fits in this one block
    int level = 6;       // 0 stores

    Bytes out;
    uint32_t crc = 0;
    bool stored = false;  // out holds the input as is
    std::string error;    // set when the file could not be read
    bool out_of_memory = false;  // the writer's thread throws it on
    bool done = false;    // guarded by the pool
};

class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    int level() const { return level_; }
    void compress(std::span<const uint8_t> dictionary, std::span<const uint8_t> data, bool last, Bytes& out);

private:
    struct State;
    std::unique_ptr<State> state_;
    int level_;
};

// Runs on the worker thread before each block; tests make it throw to see
// a worker's failure handled.
using BlockHook = void (*)(const BlockJob&);
void set_block_hook(BlockHook hook);

// Never throws: a worker thread has no one to catch it.
void compress_block(BlockJob& job, std::unique_ptr<Deflater>& deflater);

// Reads until the buffer is full or the file ends; returns the bytes read.
size_t read_fully(fs::InputFile& file, uint64_t offset, std::span<uint8_t> buffer);

class CompressionPool {
public:
    explicit CompressionPool(unsigned threads);
    ~CompressionPool();
    CompressionPool(const CompressionPool&) = delete;
    CompressionPool& operator=(const CompressionPool&) = delete;

    void submit(std::shared_ptr<BlockJob> job);
    void wait(const BlockJob& job);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::shared_ptr<BlockJob>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace wz
