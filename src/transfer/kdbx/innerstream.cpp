#include "transfer/kdbx/innerstream.h"

#include "transfer/kdbx/kdbxcrypto.h"

namespace {

const QByteArray salsa20Iv = QByteArray::fromHex("e830094b97205d2a");

} // namespace

std::optional<InnerStream> InnerStream::create(quint32 id, const QByteArray& key)
{
    if (id == ChaCha20) {
        const KdbxBytes::Secret hash = KdbxCrypto::sha512({key});
        auto cipher = Botan::StreamCipher::create_or_throw("ChaCha(20)");
        cipher->set_key(hash.data(), 32);
        cipher->set_iv(hash.data() + 32, 12);
        return InnerStream(std::move(cipher));
    }
    if (id == Salsa20) {
        const KdbxBytes::Secret hash = KdbxCrypto::sha256({key});
        auto cipher = Botan::StreamCipher::create_or_throw("Salsa20");
        cipher->set_key(hash);
        cipher->set_iv(reinterpret_cast<const std::uint8_t*>(salsa20Iv.constData()), size_t(salsa20Iv.size()));
        return InnerStream(std::move(cipher));
    }
    return std::nullopt;
}

QByteArray InnerStream::apply(const QByteArray& bytes)
{
    QByteArray out = bytes;
    m_cipher->cipher1(reinterpret_cast<std::uint8_t*>(out.data()), size_t(out.size()));
    return out;
}
