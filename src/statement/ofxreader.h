#pragma once

#include "format/currency.h"
#include "statement/statement.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// Open Financial Exchange statements (OFX 1.x SGML, 2.x XML; QFX alike).
namespace movilibro::statement {

struct OfxTransaction
{
    QDate date;                     // DTPOSTED, as the bank wrote the day
    std::optional<Currency> amount; // TRNAMT, signed: > 0 comes in; empty when missing or beyond range
    QString reference;              // FITID
    QString name, memo;             // NAME (or PAYEE), MEMO
    QString currency;               // the transaction's own, when not the statement's
    QString kind;                   // TRNTYPE in Italian ("Pagamento POS"); empty for OTHER
};

struct OfxAccount
{
    QString id;                            // ACCTID, with the bank and branch when given
    QString currency;                      // CURDEF
    std::optional<Currency> ledgerBalance; // LEDGERBAL, the closing balance
    QDate ledgerDate;
    std::vector<OfxTransaction> transactions; // in file order
};

// Reads the statements of an OFX file through LibOFX: one account each, in
// file order. Throws StatementError when the file holds no statement.
std::vector<OfxAccount> readOfx(const QByteArray& bytes);

// The same as a statement: every transaction a movement (refused when its
// day or amount is missing), NAME and MEMO its description, FITID its
// reference, the ledger balance the account's closing balance.
Statement readOfxStatement(const QByteArray& bytes);

} // namespace movilibro::statement
