#!/usr/bin/env python3
"""Writes a synthetic mysqldump-style .sql file of a given size for the .sql
conversion benchmark: the header of /*!40101 ... */ settings, three tables
(with AUTO_INCREMENT, enum, unsigned, blob, datetime and text columns), and
their rows in extended INSERTs of about 1 MB each, as mysqldump writes them
(strings with backslash escapes, UTF-8 text, zero dates, hex blobs, NULLs).

    bench/sql_dump.py --size 100M -o dump.sql
"""
import argparse
import random
import sys

HEADER = """-- MySQL dump 10.13  Distrib 8.0.36, for Linux (x86_64)
/*!40101 SET @OLD_CHARACTER_SET_CLIENT=@@CHARACTER_SET_CLIENT */;
/*!50503 SET NAMES utf8mb4 */;
/*!40103 SET @OLD_TIME_ZONE=@@TIME_ZONE */;
/*!40103 SET TIME_ZONE='+00:00' */;
/*!40014 SET @OLD_FOREIGN_KEY_CHECKS=@@FOREIGN_KEY_CHECKS, FOREIGN_KEY_CHECKS=0 */;
/*!40101 SET @OLD_SQL_MODE=@@SQL_MODE, SQL_MODE='NO_AUTO_VALUE_ON_ZERO' */;
"""

TABLES = {
    "customer": """CREATE TABLE `customer` (
  `id` int unsigned NOT NULL AUTO_INCREMENT,
  `email` varchar(190) NOT NULL,
  `name` varchar(100) NOT NULL DEFAULT '',
  `status` enum('active','blocked','deleted') NOT NULL DEFAULT 'active',
  `is_admin` tinyint(1) NOT NULL DEFAULT '0',
  `created` datetime NOT NULL DEFAULT '0000-00-00 00:00:00',
  PRIMARY KEY (`id`),
  UNIQUE KEY `email` (`email`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;""",
    "post": """CREATE TABLE `post` (
  `id` bigint unsigned NOT NULL AUTO_INCREMENT,
  `customer_id` int unsigned NOT NULL,
  `title` varchar(200) NOT NULL,
  `body` mediumtext NOT NULL,
  `score` decimal(8,2) DEFAULT NULL,
  `updated` timestamp NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
  PRIMARY KEY (`id`),
  KEY `customer_id` (`customer_id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;""",
    "attachment": """CREATE TABLE `attachment` (
  `id` int NOT NULL AUTO_INCREMENT,
  `post_id` bigint unsigned NOT NULL,
  `data` mediumblob,
  `mime` varchar(40) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;""",
}

WORDS = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua Grüße café naïve Ærø 東京 ").split()


def escape(text):
    return (text.replace("\\", "\\\\").replace("'", "\\'").replace("\n", "\\n")
            .replace("\r", "\\r").replace('"', '\\"'))


def sentence(rng, words):
    return " ".join(rng.choice(WORDS) for _ in range(words))


def customer_row(rng, i):
    created = "0000-00-00 00:00:00" if i % 17 == 0 else f"20{rng.randint(10, 23)}-0{rng.randint(1, 9)}-1{rng.randint(0, 9)} 12:{rng.randint(10, 59)}:00"
    name = escape(sentence(rng, 2) + ("'s" if i % 5 == 0 else ""))
    return (f"({i},'user{i}@example.com','{name}','{rng.choice(['active', 'blocked', 'deleted'])}',"
            f"{i % 2},'{created}')")


def post_row(rng, i):
    body = escape(sentence(rng, rng.randint(20, 120)) + "\n\"quoted\" C:\\path\\to\\file")
    score = "NULL" if i % 7 == 0 else f"{rng.randint(0, 99999) / 100:.2f}"
    return (f"({i},{rng.randint(1, 100000)},'{escape(sentence(rng, 6))}','{body}',{score},"
            f"'2023-0{rng.randint(1, 9)}-2{rng.randint(0, 8)} 08:00:00')")


def attachment_row(rng, i):
    blob = rng.randbytes(rng.randint(16, 400)).hex()
    return f"({i},{rng.randint(1, 100000)},0x{blob},'image/png')"


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    if text[-1].upper() in units:
        return int(float(text[:-1]) * units[text[-1].upper()])
    return int(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", default="100M", help="approximate size, such as 100M or 1G")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("-o", "--output", required=True)
    args = parser.parse_args()
    target = parse_size(args.size)
    rng = random.Random(args.seed)
    makers = {"customer": customer_row, "post": post_row, "attachment": attachment_row}
    # A pool of rows per table, reused with new ids so that writing a
    # gigabyte takes seconds, not minutes.
    pools = {name: [make(rng, i).split(",", 1)[1] for i in range(2000)] for name, make in makers.items()}
    written = 0
    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        out.write(HEADER)
        for name, create in TABLES.items():
            out.write(f"\nDROP TABLE IF EXISTS `{name}`;\n{create}\n")
        next_id = {name: 1 for name in TABLES}
        while written < target:
            for name in TABLES:
                rows = []
                size = 0
                while size < (1 << 20):
                    row = f"({next_id[name]}," + rng.choice(pools[name])
                    next_id[name] += 1
                    rows.append(row)
                    size += len(row) + 1
                text = f"INSERT INTO `{name}` VALUES " + ",".join(rows) + ";\n"
                out.write(text)
                written += len(text.encode("utf-8"))
        out.write("/*!40101 SET SQL_MODE=@OLD_SQL_MODE */;\n-- Dump completed\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
