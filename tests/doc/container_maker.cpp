#include "container_maker.h"

#include <zip.h>

#include <stdexcept>

namespace {

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("making a test container: ") + what);
}

std::vector<char> readAll(zip_source_t* source)
{
    check(zip_source_open(source) == 0, "reopening the output");
    std::vector<char> bytes;
    char block[4096];
    zip_int64_t got;
    while ((got = zip_source_read(source, block, sizeof block)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    zip_source_close(source);
    check(got == 0, "reading the output");
    return bytes;
}

} // namespace

std::vector<char> makeContainer(const ContainerRecipe& recipe)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* output = zip_source_buffer_create(nullptr, 0, 0, &error);
    check(output, "output buffer");
    zip_source_keep(output); // survives zip_close so the bytes can be read back
    zip_t* archive = zip_open_from_source(output, ZIP_TRUNCATE, &error);
    check(archive, "opening the output");

    for (size_t index = 0; index < recipe.members.size(); ++index) {
        const std::string& text = recipe.members[index];
        zip_source_t* member = zip_source_buffer(archive, text.data(), text.size(), 0);
        check(member, "member source");
        const std::string name =
            index < recipe.names.size() ? recipe.names[index] : "music" + std::to_string(index) + ".zvm";
        const zip_int64_t at = zip_file_add(archive, name.c_str(), member, 0);
        check(at >= 0, "adding a member");
        check(zip_set_file_compression(archive, zip_uint64_t(at),
                                       recipe.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0,
              "compression");
        if (recipe.encrypt)
            check(zip_file_set_encryption(archive, zip_uint64_t(at), ZIP_EM_TRAD_PKWARE,
                                          recipe.password.c_str()) == 0,
                  "encryption");
    }
    check(zip_close(archive) == 0, "writing the archive");
    std::vector<char> bytes = readAll(output);
    zip_source_free(output);
    zip_error_fini(&error);

    if (recipe.ktMark && bytes.size() >= 2) {
        bytes[0] = 'K';
        bytes[1] = 'T';
    }
    return bytes;
}

std::vector<char> makeContainer(const std::string& text)
{
    ContainerRecipe recipe;
    recipe.members = {text};
    return makeContainer(recipe);
}

std::string withZero(std::string text)
{
    text.push_back('\0');
    return text;
}
