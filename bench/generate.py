#!/usr/bin/env python3
"""Synthetic PHP input for the corvexa benchmarks.

Writes a deterministic PHP application file of an exact size: HTML around
PHP blocks, strings with escapes, both comment kinds, variables, and about
one MySQL call per 300 bytes, using every one of the fifty call names the
converter knows. The same seed always gives the same bytes.

Two mixes: `pages` (the default) is page scripts, HTML around short PHP
blocks with a call in about one statement of four; `library` is class
files, one block each, with doc comments, methods and a call in about one
statement of twelve, about one per 2 KiB. --bytes-per-call sets another
density for either mix: the share of statements that are calls is chosen
so that the pool has about one call per that many bytes.

To stay fast at hundreds of MiB, a pool of a few hundred page fragments
(HTML followed by one PHP block) is built once from the seed; a file is then
a seeded random sequence of pool fragments, padded at the end with HTML
text to the exact size. With --count, many files are written from one pool,
file i picking its fragments with its own random sequence.

  generate.py -o big.php                        # 200 MiB, seed 1
  generate.py --mix library -o lib.php          # class files instead
  generate.py --bytes-per-call 110 -o dense.php # pages of little but calls
  generate.py --size 4K --count 2000 --outdir small/ --seed 7
"""

import argparse
import itertools
import os
import random
import re
import sys

POOL_SIZE = 384
WRITE_BATCH = 4 << 20
# Fragments tried at the end of a file before the rest is padded.
FIT_TRIES = 16

# The fifty call names: translated calls first, then the unsupported ones.
CALL_NAMES = [
    "mysql_affected_rows", "mysql_close", "mysql_connect", "mysql_pconnect",
    "mysql_create_db", "mysql_createdb", "mysql_drop_db", "mysql_dropdb",
    "mysql_db_query", "mysql", "mysql_error", "mysql_fetch_array",
    "mysql_fetch_assoc", "mysql_fetch_object", "mysql_fetch_row",
    "mysql_field_name", "mysql_fieldname", "mysql_field_type",
    "mysql_fieldtype", "mysql_field_len", "mysql_fieldlen",
    "mysql_free_result", "mysql_freeresult", "mysql_insert_id",
    "mysql_num_fields", "mysql_numfields", "mysql_num_rows", "mysql_numrows",
    "mysql_query", "mysql_result",
    "mysql_change_user", "mysql_data_seek", "mysql_errno",
    "mysql_fetch_field", "mysql_fetch_lengths", "mysql_field_seek",
    "mysql_fieldseek", "mysql_field_table", "mysql_fieldtable",
    "mysql_field_flags", "mysql_fieldflags", "mysql_list_fields",
    "mysql_listfields", "mysql_list_dbs", "mysql_listdbs",
    "mysql_list_tables", "mysql_listtables", "mysql_tablename",
    "mysql_select_db", "mysql_selectdb",
]

# Calls real applications make far more often than the rest; they appear
# several times in the deck the call statements are drawn from.
COMMON_CALLS = {
    "mysql_query": 6, "mysql_fetch_array": 4, "mysql_fetch_assoc": 4,
    "mysql_num_rows": 3, "mysql_error": 3, "mysql_fetch_row": 2,
    "mysql_fetch_object": 2, "mysql_free_result": 2, "mysql_insert_id": 2,
    "mysql_affected_rows": 2, "mysql_result": 2, "mysql_connect": 2,
    "mysql_select_db": 2, "mysql_close": 2,
}

TABLES = ["users", "orders", "products", "sessions", "invoices", "comments"]
COLUMNS = ["id", "name", "email", "price", "created_at", "status", "title"]
RESULTS = ["$result", "$res", "$r", "$rs", "$query_result"]
LINKS = ["$link", "$db", "$conn", "$dbh"]
ROWS = ["$row", "$rec", "$item", "$line"]
WORDS = ["order", "customer", "invoice", "basket", "report", "account",
         "summary", "archive", "listing", "profile", "search", "export"]
DATABASES = ["shop", "bench", "intranet", "forum", "crm"]
FETCH_MODES = ["MYSQL_ASSOC", "MYSQL_NUM", "MYSQL_BOTH", "mysql_assoc", "$mode"]

# One or more templates per call name. Placeholders: {res} result variable,
# {link} link variable, {row} row variable, {sql} a query string with
# escapes, {n} a small number, {db} a quoted database name, {w} a word,
# {mode} a fetch mode, {col} a column name.
CALL_TEMPLATES = {
    "mysql_affected_rows": ['$changed = mysql_affected_rows({link});\n',
                            'echo mysql_affected_rows() . " rows changed\\n";\n'],
    "mysql_close": ['mysql_close({link});\n', 'mysql_close();\n'],
    "mysql_connect": ['{link} = mysql_connect($db_host, $db_user, $db_pass)\n'
                      '    or die("Could not connect: " . mysql_error());\n',
                      '{link} = mysql_connect("localhost", \'web\', "p\\"w\\\\d");\n'],
    "mysql_pconnect": ['{link} = mysql_pconnect($cfg[\'host\'], $cfg[\'user\'], $cfg[\'pass\']);\n'],
    "mysql_create_db": ['if (!mysql_create_db(\'{w}_archive\', {link})) {{\n'
                        '    echo "Cannot create the {w} archive\\n";\n}}\n'],
    "mysql_createdb": ['mysql_createdb("tmp_{w}_{n}");\n'],
    "mysql_drop_db": ['mysql_drop_db(\'{w}_archive\', {link});\n'],
    "mysql_dropdb": ['$ok = mysql_dropdb("tmp_{w}_{n}");\n'],
    "mysql_db_query": ['{res} = mysql_db_query({db}, {sql}, {link});\n',
                       '{res} = mysql_db_query({db}, $sql);\n'],
    "mysql": ['{res} = mysql({db}, {sql});\n'],
    "mysql_error": ['if (!{res}) {{\n    die(\'Query failed: \' . mysql_error({link}));\n}}\n',
                    'error_log("db: " . mysql_error());\n'],
    "mysql_fetch_array": ['while ({row} = mysql_fetch_array({res}, {mode})) {{\n'
                          '    echo "<td>" . htmlspecialchars({row}[\'{col}\']) . "</td>\\n";\n}}\n',
                          '{row} = mysql_fetch_array({res});\n'],
    "mysql_fetch_assoc": ['while ({row} = mysql_fetch_assoc({res})) {{\n'
                          '    $list[] = {row}[\'{col}\'];\n}}\n'],
    "mysql_fetch_object": ['while ($obj = mysql_fetch_object({res})) {{\n'
                           '    printf("%s: %s\\n", $obj->{col}, $obj->title);\n}}\n',
                           '$obj = mysql_fetch_object({res}, \'{w}_record\');\n'],
    "mysql_fetch_row": ['list($id, $name) = mysql_fetch_row({res});\n',
                        '{row} = mysql_fetch_row({res}, {n});\n'],
    "mysql_field_name": ['$names[$i] = mysql_field_name({res}, $i);\n'],
    "mysql_fieldname": ['$heading = mysql_fieldname({res}, {n});\n'],
    "mysql_field_type": ['$type = mysql_field_type({res}, $i);\n'],
    "mysql_fieldtype": ['$t = mysql_fieldtype({res}, {n});\n'],
    "mysql_field_len": ['$width = mysql_field_len({res}, $i);\n'],
    "mysql_fieldlen": ['$w = mysql_fieldlen({res}, {n});\n'],
    "mysql_free_result": ['mysql_free_result({res});\n'],
    "mysql_freeresult": ['@mysql_freeresult({res});\n'],
    "mysql_insert_id": ['$new_id = mysql_insert_id({link});\n',
                        'echo "Saved as #" . mysql_insert_id() . "\\n";\n'],
    "mysql_num_fields": ['for ($i = 0; $i < mysql_num_fields({res}); $i++) {{\n'
                         '    echo "<th>$i</th>";\n}}\n'],
    "mysql_numfields": ['$cols = mysql_numfields({res});\n'],
    "mysql_num_rows": ['if (mysql_num_rows({res}) == 0) {{\n'
                       '    echo "<p>No {w} found.</p>\\n";\n}}\n',
                       '$count = mysql_num_rows({res});\n'],
    "mysql_numrows": ['$total = mysql_numrows({res});\n'],
    "mysql_query": ['{res} = mysql_query({sql}, {link});\n',
                    '{res} = mysql_query($sql);\n',
                    '{res} = mysql_query({sql})\n    or die(mysql_error());\n'],
    "mysql_result": ['$value = mysql_result({res}, {n}, \'{col}\');\n',
                     '$first = mysql_result({res}, 0);\n'],
    "mysql_change_user": ['mysql_change_user(\'admin\', $admin_pass, {db}, {link});\n'],
    "mysql_data_seek": ['mysql_data_seek({res}, {n});\n'],
    "mysql_errno": ['if (mysql_errno({link}) == 1062) {{\n'
                    '    $msg = "That {w} already exists";\n}}\n'],
    "mysql_fetch_field": ['$meta = mysql_fetch_field({res}, $i);\n'],
    "mysql_fetch_lengths": ['$lengths = mysql_fetch_lengths({res});\n'],
    "mysql_field_seek": ['mysql_field_seek({res}, {n});\n'],
    "mysql_fieldseek": ['mysql_fieldseek({res}, 0);\n'],
    "mysql_field_table": ['$from = mysql_field_table({res}, $i);\n'],
    "mysql_fieldtable": ['$tbl = mysql_fieldtable({res}, {n});\n'],
    "mysql_field_flags": ['$flags = explode(\' \', mysql_field_flags({res}, $i));\n'],
    "mysql_fieldflags": ['$f = mysql_fieldflags({res}, {n});\n'],
    "mysql_list_fields": ['$fields = mysql_list_fields({db}, \'{table}\', {link});\n'],
    "mysql_listfields": ['$fields = mysql_listfields({db}, "{table}");\n'],
    "mysql_list_dbs": ['$dbs = mysql_list_dbs({link});\n'],
    "mysql_listdbs": ['$dbs = mysql_listdbs();\n'],
    "mysql_list_tables": ['$tables = mysql_list_tables({db});\n'],
    "mysql_listtables": ['$tables = mysql_listtables({db}, {link});\n'],
    "mysql_tablename": ['$name = mysql_tablename($tables, $i);\n'],
    "mysql_select_db": ['mysql_select_db({db}, {link}) or die(mysql_error());\n',
                        'mysql_select_db($db_name);\n'],
    "mysql_selectdb": ['mysql_selectdb({db});\n'],
}

# PHP without MySQL calls, to give the blocks their ordinary bulk.
FILLER_TEMPLATES = [
    '$title = "{W} overview \\"{w}\\" \\\\ page {n}";\n',
    "$label = 'It\\'s the {w} page, don\\'t cache it';\n",
    '// Build the {w} list before the table is drawn.\n',
    '/* The {w} cache is rebuilt every {n} minutes;\n   see the cron job. */\n',
    '$total += $price * {n}; // running total\n',
    '$sql = "SELECT {col}, name FROM {table} WHERE id = " . intval($_GET[\'id\']);\n',
    'if (isset($_POST[\'{w}\']) && $_POST[\'{w}\'] !== \'\') {{\n'
    '    ${w} = trim($_POST[\'{w}\']);\n}} else {{\n    ${w} = null;\n}}\n',
    'function format_{w}($value, $decimals = 2) {{\n'
    '    return number_format($value, $decimals, \',\', \'.\');\n}}\n',
    '$config = array(\'{w}\' => {n}, "path" => "/var/www/{w}/", \'debug\' => false);\n',
    'echo "<a href=\\"{w}.php?id=$id&amp;page={n}\\">{W}</a>\\n";\n',
    'foreach ($items as $key => $val) {{\n    $out .= sprintf(\'%s=%s;\', $key, $val);\n}}\n',
    '$message = \'Line one\' . "\\n\\t" . \'line two with a \\\\ backslash\';\n',
]

HTML_TEMPLATES = [
    '<div class="{w}">\n  <h2>{W} details</h2>\n',
    '<table class="list">\n<tr><th>Name</th><th>{W}</th></tr>\n',
    '<p>Please check the {w} below and press <b>Save</b> when done.</p>\n',
    '</div>\n<!-- {w} section, generated page {n} -->\n',
    '<form method="post" action="{w}.php">\n  <input type="text" name="{w}" value="">\n',
    '<ul>\n  <li><a href="index.php">Home</a></li>\n  <li>{W}</li>\n</ul>\n',
    '<script type="text/javascript">var page = {n};</script>\n',
]

PADDING = ('<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, '
           'sed do eiusmod tempor incididunt ut labore et dolore.</p>\n')

# Probability that a statement of a block is a MySQL call; tuned so the
# whole file has about one call per 300 bytes.
CALL_SHARE = 0.27

# The library mix: methods of classes, each block one class file.
LIBRARY_CALL_SHARE = 0.08

METHOD_DOC = (
    '    /**\n'
    '     * {W} lookups for the {w} pages, cached per request.\n'
    '     *\n'
    '     * @param int   $id      the {w} id\n'
    '     * @param array $options sort order and page size\n'
    '     * @return array|false the rows, or false when the query fails\n'
    '     */\n')

METHOD_HEAD = (
    '    public function {w}_lookup_{n}($id, $options = array())\n'
    '    {{\n'
    '        $key = \'{w}:\' . (int) $id;\n'
    '        if (isset($this->cache[$key])) {{\n'
    '            return $this->cache[$key];\n'
    '        }}\n')

METHOD_TAIL = (
    '        $this->cache[$key] = $result;\n'
    '        return $result;\n'
    '    }}\n\n')

LIBRARY_STATEMENTS = [
    '$limit = isset($options[\'limit\']) ? (int) $options[\'limit\'] : {n};\n',
    '$order = in_array($options[\'order\'], $this->columns) ? $options[\'order\'] : \'{col}\';\n',
    '$sql = sprintf("SELECT %s FROM {table} WHERE {col} = %d LIMIT %d", $fields, $id, $limit);\n',
    '$this->log->debug(\'{w} lookup\', array(\'id\' => $id, \'limit\' => $limit));\n',
    'foreach ($rows as $i => $row) {{\n            $rows[$i][\'{col}\'] = trim($row[\'{col}\']);\n        }}\n',
    '// Older {w} records have no {col}; fall back to the name.\n',
    '$result = array_map(array($this, \'normalise_{w}\'), $rows);\n',
    'if (empty($result)) {{\n            throw new RuntimeException("No {w} with id $id");\n        }}\n',
]


def query_string(rng):
    """A SQL query as a PHP string, with escapes and embedded variables."""
    table, col = rng.choice(TABLES), rng.choice(COLUMNS)
    return rng.choice([
        f'"SELECT {col}, name FROM {table} WHERE id = $id"',
        f"'SELECT * FROM {table} WHERE name = \\'' . addslashes($name) . '\\''",
        f'"UPDATE {table} SET {col} = \\"$value\\" WHERE id = " . (int) $id',
        f'"INSERT INTO {table} ({col}) VALUES (\'" . mysql_escape_string($v) . "\')"',
        f"'DELETE FROM {table} WHERE {col} < ' . $limit",
    ])


def fill(template, rng):
    word = rng.choice(WORDS)
    return template.format(
        res=rng.choice(RESULTS), link=rng.choice(LINKS), row=rng.choice(ROWS),
        sql=query_string(rng), n=rng.randrange(1, 500),
        db=rng.choice(["'%s'" % d for d in DATABASES] + ['"shop"', "$db_name"]),
        w=word, W=word.capitalize(), mode=rng.choice(FETCH_MODES),
        col=rng.choice(COLUMNS), table=rng.choice(TABLES))


def call_deck(rng):
    deck = []
    for name in CALL_NAMES:
        deck += [name] * COMMON_CALLS.get(name, 1)
    rng.shuffle(deck)
    return deck


def build_pool(seed, call_share=CALL_SHARE):
    """The page fragments files are assembled from, encoded as bytes."""
    rng = random.Random(seed)
    calls = itertools.cycle(call_deck(rng))
    pool = []
    for _ in range(POOL_SIZE):
        parts = [fill(rng.choice(HTML_TEMPLATES), rng)
                 for _ in range(rng.randrange(1, 4))]
        if rng.random() < 0.15:
            parts.append('<p>Hello <?= htmlspecialchars($user_name) ?>!</p>\n')
        parts.append(rng.choice(['<?php\n', '<?php\n', '<?\n']))
        for _ in range(rng.randrange(4, 12)):
            if rng.random() < call_share:
                parts.append(fill(rng.choice(CALL_TEMPLATES[next(calls)]), rng))
            else:
                parts.append(fill(rng.choice(FILLER_TEMPLATES), rng))
        parts.append('?>\n')
        pool.append(''.join(parts).encode())
    return pool


def build_library_pool(seed, call_share=LIBRARY_CALL_SHARE):
    """Class files, one PHP block each, encoded as bytes."""
    rng = random.Random(seed)
    calls = itertools.cycle(call_deck(rng))
    pool = []
    for _ in range(POOL_SIZE):
        word = rng.choice(WORDS)
        parts = ['<?php\n/**\n * The %s store: reads and writes %s records.\n */\n'
                 'class %s_store extends base_store\n{\n'
                 '    protected $cache = array();\n\n' % (word, word, word.capitalize())]
        for _ in range(rng.randrange(2, 5)):
            parts.append(fill(METHOD_DOC, rng))
            parts.append(fill(METHOD_HEAD, rng))
            for _ in range(rng.randrange(4, 12)):
                if rng.random() < call_share:
                    template = rng.choice(CALL_TEMPLATES[next(calls)])
                else:
                    template = rng.choice(LIBRARY_STATEMENTS + FILLER_TEMPLATES)
                parts.append('        ' + fill(template, rng))
            parts.append(fill(METHOD_TAIL, rng))
        parts.append('}\n?>\n')
        pool.append(''.join(parts).encode())
    return pool


POOLS = {'pages': build_pool, 'library': build_library_pool}

# The calls of a text as print_stats counts them: a name of the extension
# right before "(".
CALL_PATTERN = re.compile(rb'\b[A-Za-z_]\w*(?=\s*\()')
CALL_NAME_SET = {name.encode() for name in CALL_NAMES}


def count_calls(data):
    return sum(1 for m in CALL_PATTERN.finditer(data) if m.group(0).lower() in CALL_NAME_SET)


def bytes_per_call(pool):
    text = b''.join(pool)
    return len(text) / max(count_calls(text), 1)


def pool_with_density(mix, seed, wanted):
    """The pool of `mix` whose statements are calls just often enough that
    it has about one call per `wanted` bytes; the share is found by halving
    its range, fewer calls giving more bytes per call."""
    low, high = 0.001, 1.0
    if bytes_per_call(POOLS[mix](seed, high)) > wanted:
        sys.exit(f'generate.py: the {mix} mix cannot have a call every {wanted} bytes')
    for _ in range(20):
        middle = (low + high) / 2
        if bytes_per_call(POOLS[mix](seed, middle)) > wanted:
            low = middle
        else:
            high = middle
    return POOLS[mix](seed, high)


def padding(count):
    text = (PADDING * (count // len(PADDING) + 1)).encode()
    return text[:count]


def write_file(path, pool, size, rng):
    """Writes `size` bytes of fragments picked by `rng`, padded at the end."""
    written = 0
    batch, batch_bytes = [], 0
    misses = 0
    with open(path, 'wb') as out:
        while misses < FIT_TRIES:
            fragment = pool[rng.randrange(len(pool))]
            if written + len(fragment) > size:
                misses += 1  # near the end: look for a shorter fragment
                continue
            batch.append(fragment)
            written += len(fragment)
            batch_bytes += len(fragment)
            if batch_bytes >= WRITE_BATCH:
                out.write(b''.join(batch))
                batch, batch_bytes = [], 0
        batch.append(padding(size - written))
        out.write(b''.join(batch))


def parse_size(text):
    match = re.fullmatch(r'(\d+)\s*([KMG]?)(?:i?B)?', text.strip(), re.I)
    if not match:
        raise argparse.ArgumentTypeError(f'not a size: {text}')
    shift = {'': 0, 'K': 10, 'M': 20, 'G': 30}[match.group(2).upper()]
    return int(match.group(1)) << shift


def print_stats(path):
    data = open(path, 'rb').read()
    names = set(CALL_NAMES)
    calls = [m.group(0).lower() for m in CALL_PATTERN.finditer(data)]
    found = [c.decode() for c in calls if c.decode() in names]
    missing = sorted(names - set(found))
    print(f'{path}: {len(data)} bytes, {len(found)} calls, '
          f'{len(data) / max(len(found), 1):.0f} bytes per call, '
          f'{len(set(found))} of {len(names)} names'
          + (f', missing {" ".join(missing)}'
             if missing and len(data) >= 1 << 20 else ''),
          file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--size', type=parse_size, default=200 << 20,
                        help='bytes per file, with K, M or G suffix (default 200M)')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--mix', choices=sorted(POOLS), default='pages',
                        help='page scripts (default) or class files')
    parser.add_argument('--bytes-per-call', type=parse_size,
                        help='make calls about this dense instead of the mix\'s own'
                        ' share (110 for a file of little else, 4K as in real'
                        ' applications)')
    parser.add_argument('-o', '--output', help='the file to write')
    parser.add_argument('--count', type=int,
                        help='write this many files into --outdir instead')
    parser.add_argument('--outdir', help='folder for the --count files')
    parser.add_argument('--stats', action='store_true',
                        help='print the call density of the written file(s)')
    args = parser.parse_args()
    if (args.count is None) == (args.output is None):
        parser.error('give either -o FILE or --count N --outdir DIR')
    if args.count is not None and not args.outdir:
        parser.error('--count needs --outdir')

    if args.bytes_per_call:
        pool = pool_with_density(args.mix, args.seed, args.bytes_per_call)
    else:
        pool = POOLS[args.mix](args.seed)
    if args.output:
        write_file(args.output, pool, args.size, random.Random(args.seed))
        if args.stats:
            print_stats(args.output)
        return
    os.makedirs(args.outdir, exist_ok=True)
    for index in range(args.count):
        path = os.path.join(args.outdir, f'small-{index:05d}.php')
        write_file(path, pool, args.size,
                   random.Random(args.seed * 1_000_003 + index))
        if args.stats and index < 3:
            print_stats(path)


if __name__ == '__main__':
    main()
