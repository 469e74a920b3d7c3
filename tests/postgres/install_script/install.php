<?php
/*
 * An install script as legacy applications have it: the tables created
 * with MySQL DDL sent through mysql_query, then filled and read. Converted
 * by corvexa-tree's complete rules and run on PHP 8 against PostgreSQL, it
 * must print expected.txt and nothing else.
 */
$link = mysql_connect('127.0.0.1:3306', 'installer', "it's secret")
    or die('no connection: ' . mysql_error());
mysql_select_db('installer', $link) or die(mysql_error());

mysql_query("CREATE TABLE IF NOT EXISTS `posts` (
  `id` int(10) unsigned NOT NULL AUTO_INCREMENT,
  `title` varchar(200) NOT NULL default '',
  `visible` tinyint(1) NOT NULL DEFAULT 1,
  `kind` enum('page','post') NOT NULL DEFAULT 'post',
  `created` datetime NOT NULL,
  PRIMARY KEY (`id`),
  KEY `title_idx` (`title`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8 COMMENT='the posts'") or die('posts: ' . mysql_error());

$sql = 'CREATE TABLE `comments` (
  `id` int(11) NOT NULL auto_increment,
  `post_id` int(11) NOT NULL,
  `author` varchar(60) NOT NULL DEFAULT \'nobody\',
  `body` text,
  PRIMARY KEY  (`id`),
  UNIQUE KEY `author_post` (`author`, `post_id`)
) TYPE=MyISAM AUTO_INCREMENT=1';
mysql_query($sql, $link) or die('comments: ' . mysql_error());

mysql_query('ALTER TABLE `posts` ADD `views` int(11) unsigned NOT NULL DEFAULT 0')
    or die('views: ' . mysql_error());

mysql_query("INSERT INTO posts (title, created) VALUES ('Hello', '2024-01-02 03:04:05')")
    or die('insert: ' . mysql_error());
echo 'post id: ', mysql_insert_id(), "\n";
mysql_query("INSERT INTO comments (post_id, body) VALUES (1, 'First!')")
    or die('insert: ' . mysql_error());
echo 'comment id: ', mysql_insert_id(), "\n";

$result = mysql_query('SELECT id, title, visible, kind, created, views FROM posts');
while ($row = mysql_fetch_assoc($result)) {
    echo 'post: ', implode('|', $row), "\n";
}
$result = mysql_query('SELECT c.author, c.body, p.title FROM comments c JOIN posts p ON p.id = c.post_id');
while ($row = mysql_fetch_row($result)) {
    echo 'comment: ', implode('|', $row), "\n";
}
echo 'second comment by nobody: ',
    var_export(@mysql_query("INSERT INTO comments (post_id, body) VALUES (1, 'Again')"), true), "\n";
